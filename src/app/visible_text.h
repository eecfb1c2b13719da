#ifndef IRWAV_APP_VISIBLE_TEXT_H_
#define IRWAV_APP_VISIBLE_TEXT_H_

#include <string>

/// `text` as it may safely reach a terminal: every control character (C0,
/// DEL and C1, U+0080..U+009F) and every byte that is not part of valid
/// UTF-8 becomes a C-style escape, \t, \n or \r, or \xHH for each of its
/// bytes, so that nothing in a name or a file line can move the cursor,
/// retitle the window or clear the screen. Printable text, UTF-8 included,
/// stays as it is. With `escapeBackslash`, a backslash becomes \\ as well,
/// so that the text can be told back exactly (TSV).
std::string visibleText(const std::string& text, bool escapeBackslash = false);

#endif  // IRWAV_APP_VISIBLE_TEXT_H_
