// Helpers of the file-service tests: writing into memory, reading from a
// text, and catching the diagnostic messages.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/init.h"
#include "common/test_files.h"
#include "common/test_support.h"
#include "files/zvi.h"

// Catches the interface diagnostics while it lives.
class DiagnosticCatcher {
public:
    DiagnosticCatcher()
    {
        s_Messages.clear();
        m_OldDebugging = g_Debugging;
        m_OldSink = g_InitErrorBoxSink;
        g_Debugging |= DEBUG_INTERFACE;
        g_InitErrorBoxSink = TestCaptureDiagnostic;
    }
    ~DiagnosticCatcher()
    {
        g_Debugging = m_OldDebugging;
        g_InitErrorBoxSink = m_OldSink;
    }
    const std::vector<std::string> &Messages() const { return s_Messages; }
    bool Saw(const std::string &part) const
    {
        for (const auto &m : s_Messages)
            if (m.find(part) != std::string::npos)
                return true;
        return false;
    }
    std::string All() const
    {
        std::string all;
        for (const auto &m : s_Messages)
            all += m + "\n---\n";
        return all;
    }
    void Clear() { s_Messages.clear(); }

private:
    static inline std::vector<std::string> &s_Messages = TestCapturedDiagnostics();
    uint32_t m_OldDebugging;
    InitErrorBoxSink m_OldSink;
};

// A block of global memory that the writer fills; Text() is what was written.
class MemoryWrite {
public:
    explicit MemoryWrite(int capacity = 70000) : m_Capacity(capacity)
    {
        m_Block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, capacity);
        EXPECT_EQ(ZVI_FileWriteInitMemory(m_Block, capacity), 1);
    }
    ~MemoryWrite()
    {
        if (m_Open)
            ZVI_FileWriteExit();
        GlobalFree(m_Block);
    }
    std::string Text()
    {
        if (m_Open) {
            ZVI_FileWriteExit();
            m_Open = false;
        }
        int32_t size = ZVI_FileWriteCurrentSize();
        if (size > m_Capacity)
            size = m_Capacity;
        const char *p = static_cast<const char *>(GlobalLock(m_Block));
        std::string text(p, size_t(size));
        GlobalUnlock(m_Block);
        return text;
    }

private:
    HGLOBAL m_Block;
    int m_Capacity;
    bool m_Open = true;
};

// Starts the reader on a copy of text in global memory of exactly its size.
class MemoryRead {
public:
    explicit MemoryRead(const std::string &text)
    {
        m_Block = GlobalAlloc(GMEM_MOVEABLE, text.empty() ? 1 : text.size());
        char *p = static_cast<char *>(GlobalLock(m_Block));
        memcpy(p, text.data(), text.size());
        GlobalUnlock(m_Block);
        m_Ok = ZVI_FileReadInitMemory(m_Block) == 1;
    }
    ~MemoryRead()
    {
        ZVI_FileReadExit();
        GlobalFree(m_Block);
    }
    bool Ok() const { return m_Ok; }

private:
    HGLOBAL m_Block;
    bool m_Ok;
};

// Every file test starts with the shared buffers in place and default delimiters.
class ZviTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(ZVI_InitFileBuffers(), 1); }
};
