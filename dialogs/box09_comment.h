// The comment dialogs: the look of all comments and one comment's data.
#pragma once

#include <windows.h>

#include <cstdint>

struct DrawingSettings;
struct CommentDataRecord;

constexpr int COMMENT_COLORS = 10;
constexpr int COMMENT_TEXT_MAX = 8000; // characters of a comment's text
constexpr int COMMENT_MARKER_MAX = 50;
constexpr int COMMENT_LINES_MAX = 50;

// The drawing-wide look of comments: five pairs of standard colour indexes
// (fill, line) for the marker, the title line and the boxes of categories
// 0 to 2; the box width and marker size in pixels; the box lines.
struct CommentLayout {
    int32_t colors[COMMENT_COLORS];
    int32_t boxWidth;
    int32_t markerSize;
    int32_t boxLines;
};
CommentLayout Box09CommentLayoutOf(const DrawingSettings &settings);
void Box09StoreCommentLayout(const CommentLayout &layout, DrawingSettings *settings);

// 1 on OK (the layout receives the edited copy), 0 otherwise.
int Box09CommentLayout(HWND owner, const char *caption, CommentLayout *layout);
// One comment's title, category, status and text (stored form, at most
// 8000 characters). A new comment opens with the signature line as its text.
// 1 on OK (data and text replaced), 0 otherwise.
int Box09CommentData(HWND owner, const char *caption, CommentDataRecord *data, char *text, int isNew);
// The signature line: the author and the current time by the option's format.
void Box09InsertDateTime(char *out, int size);
