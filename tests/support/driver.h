#pragma once

// A user at a view: what they do to the window and what they see of it. One implementation for each view
// (the null view, Qt, Windows, the browser) runs the same scenarios; each acts through its toolkit's own
// events (its clicks, keys, timers and resizes) and reads what its toolkit shows, not what the core holds.
// What a driver cannot read it returns as nullopt, and the check says it was not run there (CHECK_SHOWN).

#include "platform/runtime/pixels.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Driver {
public:
    enum class Key { Tab, BackTab, Enter };

    virtual ~Driver() = default;

    // The window shows (the form's load runs first) and paints.
    virtual void show() = 0;
    // A click, which a disabled button does not deliver.
    virtual void click(const platform::CommandButton &button) = 0;
    // Replaces the box's text by typing it, with the keyboard and, for Chinese, what an input method sends as
    // it commits what it composed. Nothing reaches a locked box.
    virtual void type(const platform::TextBox &box, std::u16string_view text) = 0;
    // A key pressed where the focus is, with the modifiers held (BackTab is Tab with Shift).
    virtual void press(Key key, platform::Modifiers modifiers = {}) = 0;
    // Another window takes the activation, then the user comes back to this one.
    virtual void activate() = 0;
    // Gives the focus to a control, as a click into it does.
    virtual void focus(const platform::Control &control) = 0;
    // The form's timer ticks once, as the toolkit delivers it: only while it runs. False when it does not.
    virtual bool tick() = 0;
    // The client area takes a new size in pixels, as when the user drags the window's frame.
    virtual void resize(int width, int height) = 0;
    // Lets the window finish what waits for the current event to be over.
    virtual void settle() = 0;

    // What the user sees. A control without a native control is not shown: no text, not visible.
    virtual bool shown(const platform::Control &control) = 0;
    virtual std::u16string text(const platform::Control &control) = 0;
    virtual bool enabled(const platform::Control &control) = 0;
    virtual bool visible(const platform::Control &control) = 0;
    // The colour behind a text box's text, or a label's own colour.
    virtual platform::Colour background(const platform::Control &control) = 0;
    virtual platform::PixelRect rect(const platform::Control &control) = 0;
    virtual std::vector<std::u16string> items(const platform::ListBox &list) = 0;
    // What screen readers are told of a control, its name and its description, and the last thing they were
    // told to announce ("" for nothing yet); nullopt where the system does not tell a program (Wine).
    virtual std::optional<std::u16string> accessibleName(const platform::Control &control) = 0;
    virtual std::optional<std::u16string> accessibleDescription(const platform::Control &control) = 0;
    virtual std::optional<std::u16string> announced() = 0;
    virtual std::u16string selectedText(const platform::TextBox &box) = 0;
    // The control with the keyboard focus, or nullptr.
    virtual const platform::Control *focused() = 0;
    // The topmost control at a point of the client area, or nullptr.
    virtual const platform::Control *controlAt(int x, int y) = 0;
    // The window: its title, whether it shows, its client area, what screen readers read as its
    // description, the native controls in it (shown or waiting), and the DPI of the pixels above.
    virtual std::u16string title() = 0;
    virtual bool windowVisible() = 0;
    virtual platform::PixelSize clientSize() = 0;
    virtual std::optional<std::u16string> description() = 0;
    virtual int nativeControls() = 0;
    virtual int dpi() = 0;
};

// The view under test shows form, in a window of its own.
std::unique_ptr<Driver> makeDriver(platform::Form &form);

// Says, once a run for each, what a view's driver could not read and so did not check.
void notRead(const char *what);

// Checks what a driver read against what is expected; reports it as not run where the driver cannot read it.
#define CHECK_SHOWN(read, expected)                                                                          \
    do {                                                                                                     \
        if (const auto shown_ = (read))                                                                      \
            CHECK(*shown_ == (expected));                                                                    \
        else                                                                                                 \
            notRead(#read);                                                                                  \
    } while (false)
