#pragma once

// The page's functions that the web view calls (library.js), each on the page's own ids: a window's, an
// element's. Texts go as UTF-16 with their length in code units.

extern "C" {
int qm_window(void *window);
void qm_look(int window, const char16_t *title, int titleLength, int width, int height,
    const char16_t *family, int familyLength, double points);
void qm_closeWindow(int window);
void qm_showWindow(int window);
int qm_clientWidth(int window);
int qm_clientHeight(int window);
void qm_post(int window);
void qm_setTimer(int window, int timer, int milliseconds);
void qm_printed(int window, const char16_t *lines, int length);

// className: the page's class of the control's kind (label, box, button, list).
int qm_make(int window, const char16_t *className, int classNameLength, void *native);
void qm_destroy(int element);
void qm_bounds(int element, int left, int top, int width, int height);
void qm_visible(int element, int visible);
void qm_enabled(int element, int enabled);
void qm_text(int element, const char16_t *text, int length);
// Each colour as its red, green and blue, 0 to 255.
void qm_colours(int element, int own, int red, int green, int blue, int textRed, int textGreen, int textBlue);
void qm_alignment(int element, int right);
// An empty family: the window's font.
void qm_style(int element, const char16_t *family, int familyLength, double points, int weight, int italic,
    int underline, int strikeOut, int halfWidthSpaces, const char16_t *sample, int sampleLength);
void qm_clearItems(int element);
void qm_addItem(int element, const char16_t *item, int length);
void qm_name(int element, const char16_t *name, int length);
void qm_description(int element, const char16_t *description, int length);
void qm_announce(int element, const char16_t *text, int length);
void qm_stackUnder(int element, int above);
void qm_focus(int element, int selectAll);
int qm_composing(int element);

void qm_alert(const char16_t *text, int length);
int qm_open(const char16_t *address, int length);
void qm_beep();
}
