// Property sheets: callback, runner and shared page handling.
#include "dialogs/box14.h"

#include <commctrl.h>

#include "app/init_dialogs.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"

int CALLBACK Box14PropSheetCallback(HWND sheet, UINT message, LPARAM)
{
    // The sheet saves what it covers and keeps the context-help button of its
    // pages off its caption.
    if (message == PSCB_INITIALIZED && sheet) {
        SetClassLongPtrA(sheet, GCL_STYLE, GetClassLongPtrA(sheet, GCL_STYLE) | CS_SAVEBITS);
        SetWindowLongPtrA(sheet, GWL_EXSTYLE, GetWindowLongPtrA(sheet, GWL_EXSTYLE) & ~WS_EX_CONTEXTHELP);
    }
    return 0;
}

int Box14RunSheet(HWND parent, const char *caption, const Box14Page *pages, int count, int startPage,
                  uint32_t *block)
{
    HPROPSHEETPAGE handles[SHEET_MAX_PAGES] = {};
    if (count <= 0 || count > SHEET_MAX_PAGES) {
        AlertNoDialog(parent);
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        PROPSHEETPAGEA page = {};
        page.dwSize = sizeof page;
        page.dwFlags = PSP_USETITLE | PSP_HASHELP;
        page.hInstance = g_LanguageModule;
        page.pszTemplate = pages[i].templateName;
        page.pfnDlgProc = pages[i].procedure;
        page.pszTitle = pages[i].title;
        page.lParam = reinterpret_cast<LPARAM>(block);
        handles[i] = CreatePropertySheetPageA(&page);
        if (!handles[i]) {
            for (int j = 0; j < i; ++j)
                DestroyPropertySheetPage(handles[j]);
            AlertNoDialog(parent);
            return 0;
        }
    }
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_NOAPPLYNOW | PSH_USECALLBACK;
    const ModalOwner modal(parent);
    header.hwndParent = modal.owner;
    header.hInstance = g_LanguageModule;
    header.pszCaption = caption;
    header.nPages = count;
    header.nStartPage = startPage >= 0 && startPage < count ? startPage : 0;
    header.phpage = handles;
    header.pfnCallback = Box14PropSheetCallback;
    ++g_ModalDepth;
    const INT_PTR ran = PropertySheetA(&header);
    --g_ModalDepth;
    if (ran < 0) {
        AlertNoDialog(parent);
        return 0;
    }
    return 1;
}

uint32_t *Box14PageInit(HWND page, LPARAM lParam)
{
    const auto *sheetPage = reinterpret_cast<const PROPSHEETPAGEA *>(lParam);
    auto *block = reinterpret_cast<uint32_t *>(sheetPage->lParam);
    SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(block));
    Box01DialogCenter(GetParent(page));
    return block;
}

uint32_t *Box14PageBlock(HWND page)
{
    return reinterpret_cast<uint32_t *>(GetWindowLongPtrA(page, DWLP_USER));
}

INT_PTR Box14PageNotify(HWND page, LPARAM lParam, int helpContext, void (*fill)(HWND page),
                        int (*check)(HWND page))
{
    const auto *header = reinterpret_cast<const NMHDR *>(lParam);
    uint32_t *block = Box14PageBlock(page);
    switch (header->code) {
    case PSN_SETACTIVE:
        if (fill)
            fill(page);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return 1;
    case PSN_KILLACTIVE: {
        const int ok = check ? check(page) : 1;
        if (ok && block)
            *block = SHEET_PAGE_OK;
        SetWindowLongPtrA(page, DWLP_MSGRESULT, ok ? FALSE : TRUE);
        return 1;
    }
    case PSN_RESET:
        if (block)
            *block = DIALOG_CANCELLED;
        return 1;
    case PSN_HELP:
        Box01DialogHelp(page, helpContext);
        return 1;
    default:
        return 0;
    }
}
