#pragma once

// How a view shows a form: the one header to read before writing a view.
//
// A view shows the core's Form through a toolkit: Qt widgets, the system's own windows, a page's elements. It
// writes two small classes, a NativeControl for one native control and a Toolkit for the window, owns a
// Runtime, and passes its toolkit's events on to that Runtime. The Runtime holds every rule that views share:
// which controls have a native control and when one is released or handed on, what a native shows and in
// which pixels, the stacking and keyboard orders, Enter in an answer box, the names screen readers read,
// changes held back until an event is over, the timers and the first paint. A view makes toolkit calls only.

#include "control.h"
#include "controls.h"
#include "form.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Pixels of the window's client area: logical ones where the toolkit scales for the screen itself (Qt, a
// page's CSS pixels), the screen's own where it does not (Windows).
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(PixelRect a, PixelRect b)
    {
        return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
    }
};

struct PixelSize {
    int width = 0;
    int height = 0;
};

// Twips (1440 an inch) as pixels at dpi dots per inch, to the nearest pixel. A value that is not finite
// counts as 0 and a huge one stops at a million pixels, so that nothing the program stores can upset a
// toolkit.
int twipsToPixels(double twips, int dpi);

// Where a control is shown, or would be: each edge at its nearest pixel.
PixelRect pixelRect(const Control &control, int dpi);

// The program's own colours on a control: its background, and the text on it, black, which stays readable on
// the white, green and red the program paints (WCAG AA's 4.5:1, in locked boxes too) whatever the theme.
struct OwnColours {
    Colour background;
    Colour text = 0x000000;
};

// How a control draws its text: in its own font (nullptr: the window's, which is the form's), with the
// spaces of a caption half as wide as a Chinese character where halfWidthSpaces says so, and a caption placed
// up and down by the ink of inkSample where that is not empty (see Label::inkSample).
struct TextStyle {
    const Font *font = nullptr;
    bool halfWidthSpaces = false;
    std::u16string_view inkSample;
};

class Runtime;

// One native control (a widget, a window of the system's, a page's element) showing one control at a time.
// The Toolkit makes it, hidden; the Runtime hands it from control to control and destroys it. Handed on, it
// is told every property afresh: it must keep nothing of the control before (its text, undo history, colours,
// name, selection) that these calls do not set.
class NativeControl : private ControlPeer {
public:
    NativeControl(const NativeControl &) = delete;
    NativeControl &operator=(const NativeControl &) = delete;
    // A view's destroys its native control here.
    virtual ~NativeControl();

    Control::Kind kind() const { return m_kind; }
    // The control shown; nullptr while the native waits to be handed on.
    Control *control() const { return m_control; }
    // Where the native's events go; nullptr while the runtime makes or destroys it, when they concern no one.
    Runtime *runtime() const { return m_runtime; }

    // What a view writes: each call shows one property.
    virtual void setBounds(PixelRect bounds) = 0;
    virtual void setVisible(bool visible) = 0;
    // A disabled one takes no input and delivers no click.
    virtual void setEnabled(bool enabled) = 0;
    // A text box's text, as a fresh edit (no undo history), or a label's or a button's caption.
    virtual void setText(std::u16string_view text) = 0;
    // nullopt: the toolkit's own colours.
    virtual void setColours(const std::optional<OwnColours> &colours) = 0;
    virtual void setAlignment(Label::Alignment alignment) = 0;
    virtual void setStyle(const TextStyle &style) = 0;
    virtual void setItems(const std::vector<std::u16string> &items) = 0;
    // What screen readers call it; empty: what the toolkit says of it by itself (its caption).
    virtual void setAccessibleName(std::u16string_view name) = 0;
    // Lies directly under `above`, or over every other native when that is nullptr.
    virtual void stackUnder(NativeControl *above) = 0;
    // Takes the keyboard focus as Tab gives it: a text box's whole text selected.
    virtual void focus() = 0;
    // An input method composes text in it, or it shows its menu: it must stay with its control meanwhile.
    virtual bool busy() const = 0;

protected:
    explicit NativeControl(Control::Kind kind)
        : m_kind(kind)
    {
    }

private:
    friend class Runtime;

    void changed(Change change) override;
    void controlDestroyed() override;
    void show(Change change);

    Runtime *m_runtime = nullptr;
    Control *m_control = nullptr;
    std::size_t m_slot = 0; // in the runtime's list of natives
    std::uint32_t m_pending = 0; // changes held back until the event is over, a bit a Change
    Control::Kind m_kind;
};

// What a view writes for the window as a whole.
class Toolkit {
public:
    // A native control of the kind in the window, hidden, at bounds: where it goes first, so that a toolkit
    // that lays a control out as it makes it (Windows) does so once.
    virtual std::unique_ptr<NativeControl> make(Control::Kind kind, PixelRect bounds) = 0;
    virtual PixelSize clientSize() const = 0;
    // Dots per inch of the pixels of PixelRect: 96 where the toolkit scales for the screen itself.
    virtual int dpi() const = 0;
    // Has Runtime::afterEvent() called once the event being handled is over; more posts before it may share
    // that call.
    virtual void post() = 0;
    // Has Runtime::timerElapsed(id) called every `milliseconds`, from a full interval on; 0 stops it.
    virtual void setTimer(int id, int milliseconds) = 0;
    // The form's printed lines changed: paints them again (Form::printedLines(), lasting, at the top-left,
    // under the controls), and makes `lines`, joined by line feeds, the window's description for screen
    // readers.
    virtual void printed(std::u16string_view lines) = 0;

protected:
    Toolkit() = default;
    Toolkit(const Toolkit &) = default;
    Toolkit &operator=(const Toolkit &) = default;
    ~Toolkit() = default;
};

// The rules every view shares, over one form and one toolkit. A view constructs it with its window (which
// makes the natives of the design-time controls) and tells it of its toolkit's events through the calls
// below.
class Runtime final : private FormView {
public:
    // The toolkit's timer that reports the first paint when the toolkit does not (an offscreen window).
    static constexpr int FirstPaintTimer = 0;
    // The form's timer i ticks as timer i + 1.
    static constexpr int FormTimerBase = 1;
    // Released natives kept for the next controls to come into view: as many as a large screen shows.
    static constexpr std::size_t MaxSpares = 1024;

    Runtime(Form &form, Toolkit &toolkit);
    Runtime(const Runtime &) = delete;
    Runtime &operator=(const Runtime &) = delete;
    // Destroys every native: before the window that holds them.
    ~Runtime();

    Form &form() const { return m_form; }

    // The window is about to show: runs the form's load the first time (its messages come before the
    // window), then brings the natives up to date.
    void show();
    // A paint of the window is reaching the screen: the form's first paint, once that event is over.
    void painted();
    // The client area's size changed.
    void resized();
    // The DPI changed: every native is placed and styled again.
    void rescaled();
    void timerElapsed(int id);
    // What Toolkit::post() asked for.
    void afterEvent();

    // The user's doings in a native.
    void clicked(NativeControl &native);
    void typed(NativeControl &native, std::u16string_view text);
    // It has the keyboard focus, whatever gave it.
    void focused(NativeControl &native);
    // A composition in it ended or its menu closed: the user may have left it.
    void idle(NativeControl &native);
    // Tab (Shift+Tab: backward) anywhere in the window moves the focus along the keyboard order, from the
    // last control back to the first; false when no control takes it.
    bool tab(bool backward);
    // Whether Enter in the native is the runtime's (it moves on to the next box), and Enter itself: true when
    // taken, and the view drops the key.
    bool takesEnter(const NativeControl &native) const;
    bool enter(NativeControl &native);
    // Gives control the keyboard focus, and a native while it has it, in view or not.
    void focusOn(Control &control);

    // The controls in keyboard order, answer boxes included wherever they lie; those that take the focus are
    // visible, enabled and not labels.
    std::vector<Control *> keyboardOrder() const;
    // The native that has the keyboard focus, as far as the runtime knows.
    NativeControl *focus() const { return m_focus; }
    // The native that shows control, or nullptr.
    static NativeControl *nativeOf(const Control &control)
    {
        return static_cast<NativeControl *>(control.peer());
    }

private:
    friend class NativeControl;

    // FormView
    void runTimeControlsChanged() override { m_controlsChanged = true; }
    void printed() override;
    void timerChanged(Timer &timer) override;
    void delivered() override;

    NativeControl &bind(Control &control);
    void unbind(NativeControl &native);
    void release(NativeControl &native);
    void destroy(NativeControl &native);
    void hold(NativeControl &native, Change change);
    void showHeldChanges();
    void sync();
    void syncSoon();
    bool inView(const Control &control, PixelSize client) const;
    bool inUse(const NativeControl &native) const { return &native == m_focus || native.busy(); }
    void requestAfterEvent();

    Form &m_form;
    Toolkit &m_toolkit;
    std::vector<std::unique_ptr<NativeControl>> m_natives; // every one, bound or not
    std::array<std::vector<NativeControl *>, 4> m_spares; // by kind
    std::array<std::vector<NativeControl *>, 4> m_layers; // by kind, oldest first: see bind
    std::vector<NativeControl *> m_doomed; // in use when released: destroyed once the event is over
    std::vector<NativeControl *> m_held; // with changes held back
    std::vector<int> m_timerIntervals; // what the toolkit was told, by timer id
    NativeControl *m_focus = nullptr;
    bool m_controlsChanged = true;
    bool m_syncSoon = false;
    bool m_paintReported = false;
    bool m_posted = false;
};

} // namespace platform
