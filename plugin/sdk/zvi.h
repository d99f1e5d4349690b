// The programming interface of darad4 for plug-in modules. This folder
// (plugin/sdk) is the whole set of headers a plug-in needs: put it on the
// include path and include "zvi.h".
//
// How a plug-in is made:
// - A plug-in is a 32-bit DLL placed in the folder "plugins" beside
//   darad4.exe. The program loads every *.dll there at start-up, before it
//   builds its command table, and calls the DLL's entry point
//   ZviPluginLoad (exported undecorated, __stdcall, see below). The entry
//   point registers the plug-in's records with ZVI_ModuleRegister,
//   ZVI_ImportRegister and ZVI_ExportRegister and returns nonzero; a DLL
//   without the entry point, or whose entry point returns 0, is unloaded
//   again and what it registered is dropped. At most 40 modules, 20 import
//   and 20 export filters are kept; later registrations are refused.
// - Every ZVI_ function below is __stdcall (ZVI_CALL) and exported by
//   darad4.exe under its undecorated name (ZVI_ObjectOpen, not
//   _ZVI_ObjectOpen@4). Link against the import library libzvi.a made by
//   the build beside darad4.exe (it maps the decorated names the compiler
//   emits to the undecorated exports). The callbacks a plug-in hands over
//   (ModuleData) are __stdcall as well.
// - The file family (ZVI_File*, declared in zvi_file.h and included here)
//   keeps the C calling convention (__cdecl), as the program's own file
//   code calls it; it is exported undecorated too.
// - All functions run on the program's one thread. Refused calls return 0
//   (or -1 where a count is the answer) and, when the registry value
//   "Debugging" has bit 0x2, show the reason in a message box.
//
// Records are passed by address with the byte sizes given below; the
// program probes each address over the whole size before it reads or writes.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "zvi_file.h"           // the file family
#include "zvi_module_records.h" // ModuleData, ModuleCommand, InputTemplate, callback codes
#include "zvi_matrix.h"         // Matrix
#include "zvi_records.h"        // XProperty, FontDef, Unit, Element
#include "zvi_stream.h"         // EnumerateRecord, EnumCallback and the ENUM_ flags

#define ZVI_CALL __stdcall

// Records passed by address only; their sizes are below.
struct LineDef;      // 104 bytes
struct GeoObject;    // 168 bytes
struct BufferData;   // 56 bytes
struct MultiLineDef; // 480 bytes
struct HatchDef;     // 320 bytes

// ---------------------------------------------------------------------------
// Record sizes that cross the boundary.

constexpr int ZVI_SIZE_MATRIX = 48;
constexpr int ZVI_SIZE_XPROPERTY = 40;
constexpr int ZVI_SIZE_PROPERTY = 32;
constexpr int ZVI_SIZE_FONTDEF = 76;
constexpr int ZVI_SIZE_DIMLINE = 16;
constexpr int ZVI_SIZE_DIMSMALL = 176;
constexpr int ZVI_SIZE_DIMLARGE = 248;
constexpr int ZVI_SIZE_TEXTSTANDARD = 200;
constexpr int ZVI_SIZE_TEXTFRAME = 160;
constexpr int ZVI_SIZE_TEXTREFERENCE = 24;
constexpr int ZVI_SIZE_COMMENTDATA = 72;
constexpr int ZVI_SIZE_CLIPSURFACE = 232;
constexpr int ZVI_SIZE_BITMAPREF = 304;
constexpr int ZVI_SIZE_DRAWINGINFO = 640;
constexpr int ZVI_SIZE_PENDEF = 136;
constexpr int ZVI_SIZE_LAYERDEF = 152;
constexpr int ZVI_SIZE_LINEDEF = 104;
constexpr int ZVI_SIZE_HATCHDEF = 320;
constexpr int ZVI_SIZE_MULTILINEDEF = 480;
constexpr int ZVI_SIZE_SYSTEMDEF = 232;
constexpr int ZVI_SIZE_PAGEDEF = 48;
constexpr int ZVI_TEXT_SIZE = 250;  // short texts and attribute texts
constexpr int ZVI_NAME_SIZE = 260;  // file names
constexpr int ZVI_TITLE_SIZE = 256; // object titles
constexpr int ZVI_DATE_SIZE = 12;   // "1999-Feb-04" and its terminator

// ---------------------------------------------------------------------------
// Module records.

// The table sizes (ZVI_MAX_*) and menu places (ZVI_MENU_*) are in
// zvi_module_records.h.

// ModuleCommand (132 bytes) and ModuleData (216 bytes), the records a
// plug-in registers, are declared in zvi_module_records.h with the input
// template a command carries and the codes of the object callback. The
// callbacks a record holds have these types:
typedef int(ZVI_CALL *ZviCommandCallback)(int k, int code);       // commandProc
typedef int(ZVI_CALL *ZviObjectCallback)(Unit *object, int code, void *data); // objectProc
typedef int(ZVI_CALL *ZviImportFunction)(const char *fileName, int flags);    // importProc
typedef int(ZVI_CALL *ZviExportFunction)(const char *fileName, int sections); // exportProc

// Input callbacks (ModuleData::inputProcs, in this order), called while one
// of the module's commands takes its input, with k its index in the module
// and step the index of the current input point. A word left 0 keeps the
// program's own behaviour for that hook. The step, accept and next-action
// callbacks answer with an input code (ZVI_INPUT_*); the construct callback
// answers nonzero when the point is valid.
typedef int(ZVI_CALL *ZviInputStepCallback)(int k, int step, double x, double y);      // 0: step entered
typedef int(ZVI_CALL *ZviInputConstructCallback)(int k, int step, double x, double y); // 1: every move
typedef int(ZVI_CALL *ZviInputAcceptCallback)(int k, int step, double x, double y);    // 2: a point accepted
typedef void(ZVI_CALL *ZviInputFeedbackCallback)(int k, int step, HDC dc, int fixed, int moving); // 3
typedef void(ZVI_CALL *ZviInputShiftEscapeCallback)(int k); // 4: instead of asking the parameters again
typedef int(ZVI_CALL *ZviInputNextCallback)(int k, int step); // 5: after a completed input
// Their answers, ZVI_INPUT_*, are in zvi_module_records.h.

// Command callback codes.
constexpr int ZVI_CODE_START = 0; // k is about to start: nonzero lets it
constexpr int ZVI_CODE_HELP = MODULE_CODE_HELP;
constexpr int ZVI_CODE_DRAWING_READY = MODULE_CODE_DRAWING_NEW;   // created, loaded or the program started
constexpr int ZVI_CODE_DRAWING_LEAVE = MODULE_CODE_DRAWING_CLOSE; // about to be saved or replaced

// The entry point every plug-in exports: it registers its records and
// returns nonzero. interfaceVersion is ZVI_INTERFACE_VERSION.
constexpr int ZVI_INTERFACE_VERSION = 1;
typedef int(ZVI_CALL *ZviPluginLoadProc)(int interfaceVersion);
#define ZVI_PLUGIN_ENTRY "ZviPluginLoad"

extern "C" {

// Registration, only inside ZviPluginLoad: the record is copied; 1, or 0
// when the table is full or the call comes outside loading.
int ZVI_CALL ZVI_ModuleRegister(const ModuleData *record);
int ZVI_CALL ZVI_ImportRegister(const ModuleData *record);
int ZVI_CALL ZVI_ExportRegister(const ModuleData *record);

// Module records.
int ZVI_CALL ZVI_ModuleGetNumber();
int ZVI_CALL ZVI_ModuleGetData(int index, ModuleData *out);
int ZVI_CALL ZVI_ImportGetNumber();
int ZVI_CALL ZVI_ImportGetData(int index, ModuleData *out);
int ZVI_CALL ZVI_ExportGetNumber();
int ZVI_CALL ZVI_ExportGetData(int index, ModuleData *out);

// Value conversions and titles.
int ZVI_CALL ZVI_ConvertIntString(char *text, int value);
int ZVI_CALL ZVI_ConvertDoubleString(char *text, double value);
int ZVI_CALL ZVI_ConvertDoubleStringEx(char *text, double value, int width, int decimals);
int ZVI_CALL ZVI_ConvertLengthString(char *text, double mm, char *unitLabel);
int ZVI_CALL ZVI_ConvertWidthString(char *text, double mm, char *unitLabel);
int ZVI_CALL ZVI_ConvertAngleString(char *text, double radians, char *unitLabel);
int ZVI_CALL ZVI_ConvertStringInt(int *value, const char *text);
int ZVI_CALL ZVI_ConvertStringDouble(double *value, const char *text, HWND alertOwner);
int ZVI_CALL ZVI_ConvertStringDoubleEx(double *value, const char *text, HWND alertOwner, double lengthFactor,
                                       double angleFactor);
int ZVI_CALL ZVI_ConvertStringLength(double *mm, const char *text, HWND alertOwner);
int ZVI_CALL ZVI_ConvertStringWidth(double *mm, const char *text, HWND alertOwner);
int ZVI_CALL ZVI_ConvertStringAngle(double *radians, const char *text, HWND alertOwner);
int ZVI_CALL ZVI_GetBuildDate(const char *date, char *out); // out: ZVI_DATE_SIZE bytes at least
int ZVI_CALL ZVI_GetUnitTitle(char *title, const Unit *object);
HICON ZVI_CALL ZVI_GetStandardIcon(const char *iconId);
// The command's icon as a 40 x 40 monochrome bitmap (the plug-in's own cell
// for its commands); the caller deletes it.
HBITMAP ZVI_CALL ZVI_GetCommandIcon(int commandId);

// Creation buffers and builders.
int ZVI_CALL ZVI_CreationStart();
void ZVI_CALL ZVI_CreationEnd();
int ZVI_CALL ZVI_MaxUnitData();
int ZVI_CALL ZVI_MaxUnitPoints();
int ZVI_CALL ZVI_MaxPolygonPoints();

Unit *ZVI_CALL ZVI_ObjectOpen(int objectType);
Unit *ZVI_CALL ZVI_ObjectGetAddress();
int ZVI_CALL ZVI_ObjectAddPoint(int kind, double x, double y);
int ZVI_CALL ZVI_ObjectAddConstant(double value);
int ZVI_CALL ZVI_ObjectAddOrient(double angle);
int ZVI_CALL ZVI_ObjectAddCurve(double a, double b);
int ZVI_CALL ZVI_ObjectAddTextShort(const char *text, int fullSize);
int ZVI_CALL ZVI_ObjectAddTextLong(const char *text, int fullSize);
int ZVI_CALL ZVI_ObjectAddDimLine(const void *dimLine);
XProperty *ZVI_CALL ZVI_ObjectAddDimSmall(const void *dimSmall, int useDrawingDefaults);
XProperty *ZVI_CALL ZVI_ObjectAddDimLarge(const void *dimLarge, int useDrawingDefaults);
XProperty *ZVI_CALL ZVI_ObjectAddTextStandard(const void *textStandard);
XProperty *ZVI_CALL ZVI_ObjectAddTextFrame(const void *textFrame);
int ZVI_CALL ZVI_ObjectAddTextReference(const void *textReference);
int ZVI_CALL ZVI_ObjectAddCommentData(const void *commentData);
void *ZVI_CALL ZVI_ObjectAddClipSurface(const void *clipSurface);
int ZVI_CALL ZVI_ObjectAddBitmapRef(const void *bitmapRef);
int ZVI_CALL ZVI_ObjectAddEnd();
int ZVI_CALL ZVI_ObjectCopyDataBlocks(const Unit *refObj);
Unit *ZVI_CALL ZVI_ObjectInsert(int drawing, Unit *after);
void ZVI_CALL ZVI_ObjectClose();
int ZVI_CALL ZVI_ObjectFastInsert();

Unit *ZVI_CALL ZVI_UserOpen(short module, int flags);
Unit *ZVI_CALL ZVI_UserGetAddress();
int ZVI_CALL ZVI_UserAddDataBlock(unsigned short kind, unsigned short valueType, unsigned short count,
                                  const void *data, int size);
int ZVI_CALL ZVI_UserAddEnd();
Unit *ZVI_CALL ZVI_UserInsert(int drawing, Unit *after);
void ZVI_CALL ZVI_UserClose();
int ZVI_CALL ZVI_UserFastInsert();

Unit *ZVI_CALL ZVI_InstanceOpen();
Unit *ZVI_CALL ZVI_InstanceGetAddress();
int ZVI_CALL ZVI_InstanceAddAttribute(int code, const char *name, const char *text);
int ZVI_CALL ZVI_InstanceAddEnd();
Unit *ZVI_CALL ZVI_InstanceInsert(int drawing, Unit *after);
void ZVI_CALL ZVI_InstanceClose();
int ZVI_CALL ZVI_InstanceFastInsert();

// Blocks (stored among the drawing's own blocks, "*", or in an open
// library) and groups (anonymous own blocks, "#G..."). While one is open,
// the other builders insert into its member chain.
Unit *ZVI_CALL ZVI_BlockOpen();
Unit *ZVI_CALL ZVI_BlockGetAddress();
int ZVI_CALL ZVI_BlockAddAttribute(int code, const char *name, const char *text);
int ZVI_CALL ZVI_BlockAddEnd();
Unit *ZVI_CALL ZVI_BlockInsert(int drawing, const char *libraryName);
void ZVI_CALL ZVI_BlockClose();
XProperty *ZVI_CALL ZVI_BlockFastInsert(int makeInstance, const Matrix *matrix);
Unit *ZVI_CALL ZVI_GroupOpen();
Unit *ZVI_CALL ZVI_GroupGetAddress();
int ZVI_CALL ZVI_GroupAddEnd();
Unit *ZVI_CALL ZVI_GroupInsert(int drawing);
void ZVI_CALL ZVI_GroupClose();
XProperty *ZVI_CALL ZVI_GroupFastInsert(int makeInstance, const Matrix *matrix);
int ZVI_CALL ZVI_GroupApplyToUser(Unit *moduleObject);

// Record initialisers.
void ZVI_CALL ZVI_InitProperty(void *property);
void ZVI_CALL ZVI_InitXProperty(XProperty *xproperty);
void ZVI_CALL ZVI_InitFontDef(void *fontDef);
void ZVI_CALL ZVI_InitDimLine(void *dimLine);
void ZVI_CALL ZVI_InitDimSmall(void *dimSmall, int fromDrawing);
void ZVI_CALL ZVI_InitDimLarge(void *dimLarge, int fromDrawing);
void ZVI_CALL ZVI_InitTextStandard(void *textStandard, void *textReference);
void ZVI_CALL ZVI_InitTextFrame(void *textFrame);
void ZVI_CALL ZVI_InitCommentData(void *commentData);

// Definition access (records by the sizes above).
int ZVI_CALL ZVI_PenGetDef(int drawing, int index, void *out);
int ZVI_CALL ZVI_PenSetDef(int drawing, int index, const void *in);
int ZVI_CALL ZVI_PenGetCurrentDef(void *out);
int ZVI_CALL ZVI_PenGetActive();
int ZVI_CALL ZVI_LayerGetDef(int drawing, int index, void *out);
int ZVI_CALL ZVI_LayerSetDef(int drawing, int index, const void *in);
int ZVI_CALL ZVI_LayerGetCurrentDef(void *out);
int ZVI_CALL ZVI_LayerGetActive();
int ZVI_CALL ZVI_LineGetDef(int drawing, int index, void *out);
int ZVI_CALL ZVI_LineSetDef(int drawing, int index, const void *in);
int ZVI_CALL ZVI_HatchGetDef(int drawing, int index, void *out);
int ZVI_CALL ZVI_HatchSetDef(int drawing, int index, const void *in);
int ZVI_CALL ZVI_HatchGetCurrentDef(void *out);
int ZVI_CALL ZVI_HatchGetActive();
int ZVI_CALL ZVI_HatchGetOrigin(int drawing, double origin[2]);
int ZVI_CALL ZVI_MultiLineGetDef(int drawing, int index, void *out);
int ZVI_CALL ZVI_MultiLineSetDef(int drawing, int index, const void *in);
int ZVI_CALL ZVI_SystemGetDef(int drawing, int index, void *out);
int ZVI_CALL ZVI_SystemSetDef(int drawing, int index, const void *in);
int ZVI_CALL ZVI_PenSetActive(int drawing, int index);
int ZVI_CALL ZVI_LayerSetActive(int drawing, int index);
int ZVI_CALL ZVI_HatchSetActive(int drawing, int index);
int ZVI_CALL ZVI_SystemGetActive(int drawing, int window);
int ZVI_CALL ZVI_SystemGetCurrentDef(void *out);
int ZVI_CALL ZVI_SystemSetActive(int drawing, int window, int index);
int ZVI_CALL ZVI_PageGetCurrentDef(void *out);
int ZVI_CALL ZVI_PageGetDef(int drawing, int index, void *out);
int ZVI_CALL ZVI_PageSetDef(int drawing, int index, const void *in);
int ZVI_CALL ZVI_PageGetActive();
int ZVI_CALL ZVI_PageSetActive(int drawing, int index);
int ZVI_CALL ZVI_PageGetNumber();
int ZVI_CALL ZVI_PageAddDef(int drawing, const void *in);
int ZVI_CALL ZVI_PageDeleteDef(int drawing, int index);
int ZVI_CALL ZVI_VariableGetDef(int drawing, const char *name, char *value); // value: 256 bytes
int ZVI_CALL ZVI_VariableSetDef(int drawing, const char *name, const char *value);
int ZVI_CALL ZVI_ColorAddDef(int drawing, const char *name, COLORREF color);

// The loaded bitmaps in load order; names in 250-byte buffers (a leading
// "#" marks one embedded in the drawing). A file read in becomes an
// embedded bitmap under a new name, given back in name.
int ZVI_CALL ZVI_BitmapGetNumber();
int ZVI_CALL ZVI_BitmapGetName(int drawing, int index, char *name);
int ZVI_CALL ZVI_BitmapReadFromFile(int drawing, const char *fileName, char *name);
int ZVI_CALL ZVI_BitmapWriteToFile(int drawing, int index, const char *fileName);
int ZVI_CALL ZVI_BitmapDelete(int drawing, int index);

// Profile and settings.
int ZVI_CALL ZVI_ProfileReadKeyOpen(const char *keyName, int machine);
int ZVI_CALL ZVI_ProfileReadInt(const char *valueName, int *value);
int ZVI_CALL ZVI_ProfileReadString(const char *valueName, char *value); // value: 250 bytes
int ZVI_CALL ZVI_ProfileReadData(const char *valueName, void *data, int size);
void ZVI_CALL ZVI_ProfileReadKeyClose();
int ZVI_CALL ZVI_ProfileWriteKeyOpen(const char *keyName, int machine);
int ZVI_CALL ZVI_ProfileWriteInt(const char *valueName, int value);
int ZVI_CALL ZVI_ProfileWriteString(const char *valueName, const char *value);
int ZVI_CALL ZVI_ProfileWriteData(const char *valueName, const void *data, int size);
void ZVI_CALL ZVI_ProfileWriteKeyClose();
int ZVI_CALL ZVI_ProfileDeleteKey(const char *keyName, int machine);
int ZVI_CALL ZVI_ProfileGetDrawing(int drawing, short module, int key, void *data, int size);
int ZVI_CALL ZVI_ProfileSetDrawing(int drawing, short module, int key, const void *data, int size);
int ZVI_CALL ZVI_SettingGet(int id);
int ZVI_CALL ZVI_SettingSet(int id, int value);

// Commands, undo, drawing and windows.
int ZVI_CALL ZVI_CommandAvailable(int commandId);
void ZVI_CALL ZVI_CommandInternal(int commandId);
void ZVI_CALL ZVI_UndoInitProcess();
void ZVI_CALL ZVI_UndoCancelProcess();
void ZVI_CALL ZVI_UndoFinishProcess();
void ZVI_CALL ZVI_UndoSetPrevious();
int ZVI_CALL ZVI_GetCommandTitle(char *text, int commandId); // text: 256 bytes
int ZVI_CALL ZVI_DrawingNewFile(int drawing, int askSave);
int ZVI_CALL ZVI_DrawingOpenFile(int drawing, const char *fileName, int flags, int askSave);
int ZVI_CALL ZVI_DrawingSaveFile(int drawing, const char *fileName, int flags, int askOverwrite);
int ZVI_CALL ZVI_DrawingSetActive(int drawing);
int ZVI_CALL ZVI_DrawingGetInfo(int drawing, char *fileName, void *info);
int ZVI_CALL ZVI_DrawingGetNumber();
int ZVI_CALL ZVI_DrawingGetActive();
int ZVI_CALL ZVI_DrawingArchiveFile();
int ZVI_CALL ZVI_LibraryGetNumber();
int ZVI_CALL ZVI_LibraryGetInfo(int index, char *fileName, void *info);
int ZVI_CALL ZVI_WindowGetMode();
int ZVI_CALL ZVI_WindowGetActive();
int ZVI_CALL ZVI_WindowGetMatrix(int drawing, int window, Matrix *mmToPixel, Matrix *pixelToMm);
int ZVI_CALL ZVI_WindowGetView(int drawing, int window, double centre[2], double *zoom);
int ZVI_CALL ZVI_WindowSetViewScale(int drawing, int window, const double centre[2], double scale);
int ZVI_CALL ZVI_WindowSetViewArea(int drawing, int window, const double p1[2], const double p2[2]);
int ZVI_CALL ZVI_WindowSetMode(int drawing, int mode);
int ZVI_CALL ZVI_WindowSetActive(int drawing, int window);
int ZVI_CALL ZVI_WindowGetRect(int drawing, int window, RECT *screenRect, POINT *origin);
int ZVI_CALL ZVI_WindowSetViewAll(int drawing, int window);
int ZVI_CALL ZVI_WindowSetViewPage(int drawing, int window);
void ZVI_CALL ZVI_DrawWindowSelection(int clearSelection);
void ZVI_CALL ZVI_DrawLineDef(HWND control, const LineDef *lineDef);
void ZVI_CALL ZVI_UndoUpdateLinks();
void ZVI_CALL ZVI_DrawWindowAll();
void ZVI_CALL ZVI_DrawWindowArea(const double frame[4]); // xmin, ymin, xmax, ymax; null: all
void ZVI_CALL ZVI_DrawNewObjects();
// The preview of a block ("*" for the drawing's own) drawn into a control.
void ZVI_CALL ZVI_DrawBlock(HWND control, int ignored, const char *blockName, const char *libraryName);

// Matrices (a point maps to (a x + c y + tx, b x + d y + ty); m x n applies
// m first), calculations and the constructions of the geometry kernel.
void ZVI_CALL ZVI_MatrixInit(Matrix *m);
void ZVI_CALL ZVI_MatrixRotate(Matrix *m, double angle);
void ZVI_CALL ZVI_MatrixMove(Matrix *m, double dx, double dy);
void ZVI_CALL ZVI_MatrixScale(Matrix *m, double fx, double fy);
void ZVI_CALL ZVI_MatrixSheer(Matrix *m, double fx, double fy);
void ZVI_CALL ZVI_MatrixMultiply(Matrix *m, const Matrix *factor);
int ZVI_CALL ZVI_MatrixInvert(const Matrix *m, Matrix *inverse);
int ZVI_CALL ZVI_MatrixSeparate(const Matrix *m, double *scaleX, double *scaleY, double *rotation,
                                double *distortion, double *moveX, double *moveY);
void ZVI_CALL ZVI_MatrixAssemble(Matrix *m, double scaleX, double scaleY, double rotation, double distortion,
                                 double moveX, double moveY);
int ZVI_CALL ZVI_CalcTextFrame(const void *textStandard, const char *text, double frame[4]);
int ZVI_CALL ZVI_CalcBlockFrame(int drawing, const char *blockName, const char *libraryName, const Matrix *m,
                                double frame[4], int load);
int ZVI_CALL ZVI_CalcObjectArea(const Unit *object, double *result);
int ZVI_CALL ZVI_CalcObjectPerimeter(const Unit *object, double *result);
int ZVI_CALL ZVI_CalcCurvature(double x1, double y1, double x2, double y2, double x3, double y3, double *result);
int ZVI_CALL ZVI_GeoDistance(const GeoObject *obj, double x, double y, double *distance);
int ZVI_CALL ZVI_GeoIntersection(const GeoObject *a, const GeoObject *b, double points[8]);
int ZVI_CALL ZVI_GeoPerpendicular(const GeoObject *obj, double x, double y, double feet[4]);
int ZVI_CALL ZVI_GeoTangent(const GeoObject *a, const GeoObject *b, double points[16]);
// The circles (or, for mode 6 to 8, arcs) of the radius touching both
// figures, as whole records; their number.
int ZVI_CALL ZVI_GeoRadiusFit(const GeoObject *a, const GeoObject *b, double radius, int mode, GeoObject result[16]);
int ZVI_CALL ZVI_GeoIncircle(const double p1[2], const double p2[2], const double p3[2], double centre[2]);
int ZVI_CALL ZVI_GeoCircumcircle(const double p1[2], const double p2[2], const double p3[2], double centre[2]);
// The parallel of source at distance on the side of refPoint into target, a
// unit buffer (ZVI_UnitBuffer); arcJoins nonzero rounds convex corners.
int ZVI_CALL ZVI_GeoEquidistant(const Unit *source, Unit *target, double distance, int arcJoins,
                                const double refPoint[2]);

// Feedback drawing of a plug-in command into the context its feedback
// callback gets (coordinates in millimetres).
void ZVI_CALL ZVI_InputDrawPoint(HDC dc, double x, double y);
void ZVI_CALL ZVI_InputDrawLine(HDC dc, double x1, double y1, double x2, double y2);
void ZVI_CALL ZVI_InputDrawEndless(HDC dc, double x1, double y1, double x2, double y2);
void ZVI_CALL ZVI_InputDrawBezier(HDC dc, double x0, double y0, double x1, double y1, double x2, double y2, double x3,
                                  double y3);
void ZVI_CALL ZVI_InputDrawFrame(HDC dc, double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                                 double y4);
void ZVI_CALL ZVI_InputDrawCircle(HDC dc, double cx, double cy, double px, double py);
void ZVI_CALL ZVI_InputDrawCircleArc(HDC dc, double cx, double cy, double px, double py, double sx, double sy,
                                     double ex, double ey, int direction);
void ZVI_CALL ZVI_InputDrawEllipse(HDC dc, double cx, double cy, double ax, double ay, double bx, double by);
void ZVI_CALL ZVI_InputDrawEllipseArc(HDC dc, double cx, double cy, double ax, double ay, double bx, double by,
                                      double sx, double sy, double ex, double ey, int direction);
void ZVI_CALL ZVI_InputDrawReference(HDC dc, const GeoObject *obj);

// What the user picked at the input points of the running plug-in command
// (points 0 to the current one): the element geometry recorded at a pick
// (the first three steps), the picked object's geometry or the object
// itself, and the surface the selected objects enclose around a run of
// points (its size in bytes, copied to result when size allows; 0 when
// none was built; -1 on a refusal or when it does not fit).
int ZVI_CALL ZVI_InputGetIdentData(int drawing, int pointIndex, GeoObject *out);
int ZVI_CALL ZVI_InputGetIdentObject(int drawing, int pointIndex, GeoObject *out);
Unit *ZVI_CALL ZVI_InputGetIdentAddress(int drawing, int pointIndex);
int ZVI_CALL ZVI_InputGetGeneratedSurface(int drawing, int firstPoint, int count, void *result, int size);

// Conversions of one object (source) into a unit buffer (target, see
// ZVI_UnitBuffer): as a Curve or Surface, into a form every affine matrix
// keeps exact, reversed, or as another type. The conversion's answer; 0 and
// target unchanged when the result does not fit there.
int ZVI_CALL ZVI_TransformCurveSurface(const Unit *source, Unit *target);
int ZVI_CALL ZVI_TransformDistortable(const Unit *source, Unit *target);
int ZVI_CALL ZVI_TransformInvert(const Unit *source, Unit *target);
int ZVI_CALL ZVI_TransformObjectType(const Unit *source, Unit *target, int newType);

// Edit services on the selection, single objects and blocks, inside the
// plug-in's undo step.
int ZVI_CALL ZVI_EditIdentCount(int drawing, double frame[4]);
void ZVI_CALL ZVI_EditIdentRedraw();
int ZVI_CALL ZVI_EditIdentMatrix(int drawing, const Matrix *m, int keepOriginal);
int ZVI_CALL ZVI_EditIdentEnumModify(int drawing, EnumCallback cb, int keepOriginal);
void ZVI_CALL ZVI_EditDelete(int drawing, Unit *object);
Unit *ZVI_CALL ZVI_EditLinkBefore(int drawing, Unit *object, Unit *ref, int keepOld);
Unit *ZVI_CALL ZVI_EditLinkBehind(int drawing, Unit *object, Unit *ref, int keepOld);
int ZVI_CALL ZVI_EditBlockDelete(int drawing, const char *blockName, const char *libraryName, int onlyUnused);
int ZVI_CALL ZVI_EditPointsCount(int drawing, double frame[4]);
int ZVI_CALL ZVI_EditPointsMatrix(int drawing, const Matrix *m, int keepOriginal);
void ZVI_CALL ZVI_EditUnitPointsMatrix(Unit *object, const Matrix *m);

// Dialog services: plug-in popups among the program's tool windows, the
// program's painters and dialogs (records copied back only after OK), the
// definition popups, the guide and the progress dialogs.
int ZVI_CALL ZVI_DialogHelpMessage();
UINT ZVI_CALL ZVI_DialogEnterIdle(HWND dialog, WPARAM wParam, LPARAM lParam);
int ZVI_CALL ZVI_DialogPopupRegister(HWND popup);
int ZVI_CALL ZVI_DialogPopupUnregister(HWND popup);
void ZVI_CALL ZVI_DialogPopupActivate(HWND popup, WPARAM wParam, LPARAM lParam);
void ZVI_CALL ZVI_DialogPopupMove(HWND popup);
void ZVI_CALL ZVI_DialogPopupSetCursor(HWND popup, WPARAM wParam, LPARAM lParam);
void ZVI_CALL ZVI_DialogComboboxAdjust(HWND combo, int id);
void ZVI_CALL ZVI_DialogCenter(HWND dialog);
void ZVI_CALL ZVI_DialogCustomButtonColor(const DRAWITEMSTRUCT *item, COLORREF colour, int flag);
void ZVI_CALL ZVI_DialogCustomButtonText(const DRAWITEMSTRUCT *item, const char *text, int flag);
void ZVI_CALL ZVI_DialogCustomButtonPen(const DRAWITEMSTRUCT *item, int index, const char *text, int flag);
void ZVI_CALL ZVI_DialogCustomButtonLayer(const DRAWITEMSTRUCT *item, int index, const char *text, int flag);
void ZVI_CALL ZVI_DialogCustomListboxColor(const DRAWITEMSTRUCT *item, COLORREF colour, const char *text);
void ZVI_CALL ZVI_DialogCustomButtonIcon(const DRAWITEMSTRUCT *item, HICON icon, int pressed);
// The selection filter dialog on the program's own filters.
void ZVI_CALL ZVI_DialogSelection(HWND owner, const char *caption);
int ZVI_CALL ZVI_DialogColor(HWND owner, const char *caption, COLORREF *colour);
int ZVI_CALL ZVI_DialogProperty(HWND owner, const char *caption, void *property);   // 32 bytes
int ZVI_CALL ZVI_DialogXProperty(HWND owner, const char *caption, XProperty *data);
// The line ends of a dimension line (the 16-byte DimLine record), given back
// on OK. mode is kept for callers of the record's dialog family; the line-end
// dialog has no variants.
int ZVI_CALL ZVI_DialogDimLine(HWND owner, const char *caption, void *dimLine, int mode);
int ZVI_CALL ZVI_DialogFontDef(HWND owner, const char *caption, FontDef *data);
int ZVI_CALL ZVI_DialogTextStandard(HWND owner, const char *caption, void *textStandard, void *textReference,
                                   char *text);
void ZVI_CALL ZVI_DialogSelectLine(HWND owner, const RECT *rect, int current, int firstId, int noneId, int extraId);
void ZVI_CALL ZVI_DialogSelectMultiLine(HWND owner, const RECT *rect, int current, int firstId, int noneId,
                                        int extraId);
void ZVI_CALL ZVI_DialogSelectSystem(HWND owner, const RECT *rect, int current, int firstId, int noneId, int extraId);
void ZVI_CALL ZVI_DialogSelectHatch(HWND owner, const RECT *rect, int current, int firstId, int noneId, int extraId);
void ZVI_CALL ZVI_DialogSelectLayer(HWND owner, const RECT *rect, int current, int firstId, int noneId, int extraId);
void ZVI_CALL ZVI_DialogSelectPen(HWND owner, const RECT *rect, int current, int firstId, int noneId, int extraId);
void ZVI_CALL ZVI_DialogUpdateGuide(int state, const char *text);
int ZVI_CALL ZVI_DialogShowProgress(const char *title, const char *text, int withBar);
void ZVI_CALL ZVI_DialogUpdateProgress(const char *text1, const char *text2, int value1, int value2);
void ZVI_CALL ZVI_DialogHideProgress();
int ZVI_CALL ZVI_DialogIsCancelled();
int ZVI_CALL ZVI_DialogShowMasterProgress(const char *title);
void ZVI_CALL ZVI_DialogUpdateMasterProgress(const char *text1, const char *text2, int value1, int value2);
void ZVI_CALL ZVI_DialogHideMasterProgress();
int ZVI_CALL ZVI_DialogMasterIsCancelled();
// The large and small dimension dialogs on a DimLarge (248 bytes) or
// DimSmall (176 bytes) record; with withDrawingSettings the drawing's
// dimension parameters are edited too. The framed-text dialog on a TextFrame
// record (160 bytes) or, without one, the text alone. The block choice on
// two 64-byte names. Each gives its values back only after OK; mode goes to
// the dialog unchanged.
int ZVI_CALL ZVI_DialogDimSmall(HWND owner, const char *caption, void *dimSmall, int withDrawingSettings, int mode);
int ZVI_CALL ZVI_DialogDimLarge(HWND owner, const char *caption, void *dimLarge, int withDrawingSettings, int mode);
int ZVI_CALL ZVI_DialogTextFrame(HWND owner, const char *caption, void *textFrame, char *text);
int ZVI_CALL ZVI_DialogBlock(HWND owner, const char *caption, char *blockName, char *libraryName, int mode);

// Unit buffers: the contours of objects collected for the point-in-area test.
// A negative capacity -n means n x ZVI_MaxUnitPoints() + 1 segments.
int ZVI_CALL ZVI_BufferAlloc(BufferData *data, int capacity, uint32_t flags);
int ZVI_CALL ZVI_BufferAddEnumerate(BufferData *data, uint32_t mask, uint32_t flags);
int ZVI_CALL ZVI_BufferAddUnit(BufferData *data, const Unit *object, uint32_t flags);
int ZVI_CALL ZVI_BufferPrepare(BufferData *data, double tolerance);
int ZVI_CALL ZVI_BufferFree(BufferData *data);
void *ZVI_CALL ZVI_UnitBuffer(); // free it with GlobalFree
int ZVI_CALL ZVI_GeoPointInsideArea(const BufferData *data, double x, double y);
// Hatch lines (one line family) or hatch blocks (a hatch definition's block
// pattern) clipped to a prepared buffer's contours, handed to three
// callbacks: open(const XProperty *) before a path, add(const GeoObject *
// piece, int line) for each piece, close() after it; each answers nonzero to
// go on. origin null: the drawing's hatch origin. 1 when all was generated.
typedef int(ZVI_CALL *ZviHatchOpenCallback)(const XProperty *attributes);
typedef int(ZVI_CALL *ZviHatchAddCallback)(const GeoObject *piece, int line);
typedef int(ZVI_CALL *ZviHatchCloseCallback)();
int ZVI_CALL ZVI_EnumerateHatchLine(const BufferData *data, const MultiLineDef *lines, double angle, double distance,
                                    double offset, const double origin[2], ZviHatchOpenCallback open,
                                    ZviHatchAddCallback add, ZviHatchCloseCallback close);
int ZVI_CALL ZVI_EnumerateHatchBlock(const BufferData *data, const HatchDef *hatch, const double origin[2],
                                     ZviHatchOpenCallback open, ZviHatchAddCallback add, ZviHatchCloseCallback close);

// Enumeration: the drawing's geometry as a stream of records (see
// zvi_stream.h for the record, its commands, drawing codes, draw modes and
// flags).
// Only one enumeration runs at a time; a callback returns 0 to stop it.
typedef int(ZVI_CALL *ZviAttributeCallback)(int kind, const char *name, const char *text);
typedef int(ZVI_CALL *ZviObjectWalkCallback)(Unit *object);
typedef int(ZVI_CALL *ZviPointCallback)(Unit *object, Element *point);
int ZVI_CALL ZVI_EnumerateAll(int drawing, uint32_t mask, uint32_t value, uint32_t flags, EnumCallback cb);
int ZVI_CALL ZVI_EnumerateUnit(int drawing, const Unit *unit, uint32_t flags, EnumCallback cb);
int ZVI_CALL ZVI_EnumerateBlock(int drawing, const char *blockName, const char *libraryName, uint32_t flags,
                                EnumCallback cb);
int ZVI_CALL ZVI_EnumerateLibrary(int drawing, const char *libraryName, uint32_t flags, EnumCallback cb);
int ZVI_CALL ZVI_EnumerateChar(int drawing, const FontDef *font, int charCode, const Matrix *m, uint32_t flags,
                               EnumCallback cb);
int ZVI_CALL ZVI_EnumerateInstanceAttrib(int drawing, const Unit *instance, ZviAttributeCallback cb);
int ZVI_CALL ZVI_EnumerateBlockAttrib(int drawing, const char *blockName, const char *libraryName,
                                      ZviAttributeCallback cb);
int ZVI_CALL ZVI_EnumerateIdent(int drawing, ZviObjectWalkCallback cb, int backwards);
int ZVI_CALL ZVI_EnumeratePoints(int drawing, ZviPointCallback cb);

// Stubs kept for older plug-ins: they do nothing.
int ZVI_CALL ZVI_HookKeyStart();
int ZVI_CALL ZVI_HookMouseStart();
int ZVI_CALL ZVI_HookPositionStart();
void ZVI_CALL ZVI_HookPositionEnd(int window, double *point);
void ZVI_CALL ZVI_HookKeyEnd(int window, UINT message, WPARAM wParam, int x, int y);
void ZVI_CALL ZVI_HookMouseEnd(int window, UINT message, WPARAM wParam, int x, int y);

} // extern "C"
