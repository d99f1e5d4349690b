// Files in the temporary folder for the tests that write to disk.
#pragma once

#include <string>

// A path in the temporary folder (it ends with a backslash when `name` does).
std::string TestTempPath(const char *name);

// A file's bytes, empty when it cannot be read.
std::string TestReadFile(const std::string &path);

// Replaces a file's contents with the bytes.
void TestWriteFile(const std::string &path, const std::string &bytes);

// A path in the temporary folder with no file behind it at first, deleted at the end.
class TestTempFile {
public:
    explicit TestTempFile(const char *name);
    ~TestTempFile();
    TestTempFile(const TestTempFile &) = delete;
    TestTempFile &operator=(const TestTempFile &) = delete;

    const char *Path() const { return path_.c_str(); }
    std::string Contents() const { return TestReadFile(path_); }

private:
    std::string path_;
};

// The bytes of a 24-bit .BMP file of width x height white pixels at the
// resolution given in pixels per metre (1000: one pixel per millimetre).
std::string TestBmpFile(int width, int height, int pixelsPerMetre);
