#include "common/test_files.h"

#include <windows.h>

#include <fstream>
#include <iterator>

std::string TestTempPath(const char *name)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

std::string TestReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void TestWriteFile(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

TestTempFile::TestTempFile(const char *name) : path_(TestTempPath(name))
{
    DeleteFileA(path_.c_str());
}

TestTempFile::~TestTempFile()
{
    DeleteFileA(path_.c_str());
}
