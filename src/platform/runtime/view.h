#pragma once

// The contract a view is written against: with the tests' null view (tests/core/nullview.h), all that a view
// for another toolkit needs to read.
//
// A view shows the program's form through a toolkit (Qt widgets, the system's own windows, a page's
// elements). It writes a NativeControl for one native control and a Toolkit for the window, and completes the
// system's services; its window owns a Runtime made with the form and the Toolkit, and hands that Runtime its
// toolkit's events through the calls of class Runtime below. The Runtime holds every rule the views share
// (which controls have a native control and when, what each native shows and where, the stacking and keyboard
// orders, what Tab and Enter do, the focus when the window is activated again, what screen readers are told,
// the timers and the first paint), so that a view only measures and makes toolkit calls.
//
// A view's duties, each with where the Qt view (views/qt), the Windows view (views/win32) and the page
// (views/web) meet it. The calls of NativeControl and Toolkit below say what each shows; each view writes
// them in its Native (native.cpp) and its Window (window.cpp).
//
// 1. Order. The toolkit works before the program makes anything; then main makes the services, the form on
//    them and the window, whose constructor makes the Runtime last and whose destructor destroys it first,
//    while what holds the natives still stands. Qt: main (QApplication first), Window::Window and ~Window.
//    Windows: wWinMain (the common controls first), Window::Window and ~Window. Page: main, run once the page
//    has loaded the program and the key (pre.js), Window::Window and ~Window.
// 2. Services. A view completes platform::SystemServices (platform/system/services.h, which this room does
//    not link) with what the system gives through its toolkit: a modal message box that returns only once the
//    user has dismissed it, the default browser, the beep. Qt: QtServices in main.cpp (QMessageBox::exec).
//    Windows: WindowsServices in main.cpp (MessageBoxW). Page: PageServices in main.cpp (alert(), which
//    blocks).
// 3. Show. Runtime::show() comes before the window shows: the form's load runs there, its message before the
//    window. Qt: Window::setVisible. Windows: Window::show. Page: Window::show, then qm_showWindow.
// 4. First paint. Runtime::painted() comes as a paint of the window reaches the screen. Qt:
//    Window::paintEvent. Windows: Window::paint, on WM_PAINT. Page: the frame drawn after qm_showWindow
//    (requestAnimationFrame, then a task).
// 5. Closing the window ends the program. Qt: QApplication::exec() returns once its last window is closed.
//    Windows: WM_CLOSE destroys the window and posts WM_QUIT (Window::handle). Page: the window lives as long
//    as the page, which the browser closes.
// 6. Kinds. Each kind of native gets the calls of its kind only: every kind its bounds, visibility, enabled
//    state, colours, style, name and stacking, and the focus where it takes one (never a label); labels, text
//    boxes and buttons a text; labels alone an alignment and a font of their own in their style (the others'
//    style has none); lists alone items; text boxes alone a description and announcements. A view may take a
//    native's kind as its widget's type. Control::Kind's order is the stacking's (labels lowest, lists
//    highest); a table by kind is a KindTable (platform/forms/control.h), whose size is KindCount, the one
//    count of kinds, and whose entries are counted against it at compile time, as the count is against Kind.
//    Qt: newWidget's switch, which -Wswitch holds to every kind. Windows: Classes, a KindTable. Page:
//    PageClasses, a KindTable of the page's class names.
// 7. Text. Every text is UTF-16 and may hold a lone surrogate (a key's line, what the user typed): a view
//    hands it to its toolkit and back unit for unit, through no conversion that would replace one. Qt:
//    toQString and toU16String (views/qt/text.h). Windows: platform::wide and fromWide
//    (platform/system/wide.h). Page: quillmarkText and quillmarkStore (platform/system/text_web.js), with
//    lengths in code units.
// 8. Colours. A Colour is written 0x00BBGGRR; a view takes one apart with rgbOf alone
//    (platform/forms/control.h), and shows OwnColours whatever its theme, in a locked box too. Qt: toQColor,
//    Native::setColours. Windows: colorref, Native::colours (and paintLocked for a locked box). Page:
//    Native::setColours, qm_colours.
// 9. Pixels. Bounds are pixels of the client area (see Pixels below), at Toolkit::dpi(): 96 where the toolkit
//    scales for the screen itself, the screen's own where it does not, which then reports a change through
//    Runtime::rescaled(). Qt: 96 (logical pixels). Windows: the window's DPI, WM_DPICHANGED
//    (Window::dpiChanged). Page: 96 (CSS pixels).
// 10. Size. clientSize() answers from the moment setLook() is told, the window hidden: the form's load runs
//     before the window shows, and its controls are placed in that size; Runtime::resized() comes when it
//     changes. Qt: setLook resizes the hidden widget, resizeEvent. Windows: setLook sizes the hidden window,
//     WM_SIZE. Page: qm_clientWidth reads the size set while hidden, a ResizeObserver.
// 11. After the event. post() has Runtime::afterEvent() called once the event being handled is over. Qt: a
//     queued call (Window::post). Windows: PostedMessage. Page: a microtask (qm_post).
// 12. Timers. setTimer() ticks Runtime::timerElapsed(id) every interval from a full interval on. Qt: a
//     QTimer, precise. Windows: SetTimer with TimerIdBase + id, WM_TIMER. Page: setInterval (qm_setTimer).
// 13. Printed lines. printed() paints them and makes their description, printedDescription(lines), the
//     window's description for screen readers. Qt: Window::printed and paintEvent, the window's accessible
//     description. Windows: Window::printed and paint, the window's PROPID_ACC_DESCRIPTION. Page: qm_printed
//     shows the description itself, its line feeds kept (white-space: pre), in a polite live region.
// 14. The user's doings. Runtime::clicked() for a button's click; typed() for each change of a text box's
//     text, typed or set by the runtime (a text equal to the box's changes nothing); focused() whatever gave
//     the focus; mayHaveLeft() when the focus goes, a composition ends or a menu closes. Qt: Native's
//     connections and Native::eventFilter. Windows: WM_COMMAND in Window::handle, Native::windowProc. Page:
//     the listeners qm_window adds (library.js).
// 15. Events during a call. A native's calls may have the toolkit report back at once (a text set fires its
//     change event, a focus its focus event): the view hands such an event over as it comes, and the runtime
//     takes it. While the runtime makes or destroys a native, runtime() is nullptr and its events go nowhere.
//     Qt: Native::eventFilter and the connections ask runtime() first. Windows: Native::windowProc. Page:
//     runtimeOf in window.cpp.
// 16. Keys. Tab and Enter that no input method takes go to Runtime::key() with their modifiers (see Key
//     below), and the view drops the key when it answers true. Qt: runtimeTakes, from Native::eventFilter and
//     Window::event, and Window::focusNextPrevChild for the focus Qt moves on by itself. Windows:
//     Window::dispatch, before the dialog manager. Page: qm_window's keydown listener, and qm_key.
// 17. Input methods and menus. Keys an input method takes while it composes are its own: key() is never told
//     of them, nor of a Tab or an Enter that ends a composition; busy() tells that one composes or a menu is
//     open. Qt: QInputMethodEvent's preedit, the active popup. Windows: WM_IME_STARTCOMPOSITION and
//     WM_IME_ENDCOMPOSITION, WM_CONTEXTMENU. Page: compositionstart and compositionend.
// 18. Activation. Runtime::activated() comes after the toolkit has given the focus back by its own rule, or
//     instead of that rule: the runtime's focus is the one that stays. Qt: WindowActivate, queued. Windows:
//     WM_ACTIVATE, instead of the system's default. Page: the page's focus event.
// 19. Screen readers. A native shows its name and description, and announce() says a text politely without
//     moving the focus. Qt: the accessible name and description, an alert (Window::announce). Windows: the
//     system's annotations and a live region (views/win32/system.h). Page: aria-label, aria-description and a
//     live region.
// 20. Includes. A view includes of the program, besides the files of its own folder, only what the lines
//     below name, each for every view or for the one it names (tests/Layers.cmake reads them, and fails on an
//     include of a view that reaches further, such as the runtime's own runtime.h):
// include platform/runtime/view.h
// include platform/system/services.h
// include window/form1.h
// include web: platform/text/text.h
// include web: key/answerkey.h
// include win32: platform/system/wide.h
//     view.h is this contract, with the form's controls it names; services.h the services a view's main
//     completes; form1.h the form its main makes. The page writes its files in UTF-8 and names the key it
//     fetches (pagefiles.cpp); the Windows view passes texts as wide strings.
// 21. Tests. The smallest complete view is the null view (tests/core/nullview.h): a new view starts from it,
//     and its tests write a Driver (tests/support/driver.h) that runs the exam's scenarios (tests/scenarios)
//     through the view's own events.
//
// Pixels: of the window's client area, from its top-left corner, x to the right and y downwards; in the units
// the toolkit lays its controls out in, at Toolkit::dpi() dots per inch; a form's twips become them through
// twipsToPixels.

#include "platform/forms/controls.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

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

    friend bool operator==(PixelSize a, PixelSize b) { return a.width == b.width && a.height == b.height; }
};

// Twips (1440 an inch) as pixels at dpi dots per inch, to the nearest pixel. A value that is not finite
// counts as 0 and a huge one stops at a million pixels, so that nothing the program stores can upset a
// toolkit.
int twipsToPixels(double twips, int dpi);

// The program's own colours on a control: its background, and the text on it, black, which stays readable on
// the white, green and red the program paints (WCAG AA's 4.5:1, in locked boxes too). A toolkit shows them
// whatever its theme, high-contrast themes included.
struct OwnColours {
    Colour background;
    Colour text = 0x000000;
};

// How a control draws its text: in its own font (nullptr: the window's, Toolkit::setLook), with the spaces of
// a caption half as wide as a Chinese character where halfWidthSpaces says so, and a caption placed up and
// down by the ink of inkSample where that is not empty (see inkShift).
struct TextStyle {
    const Font *font = nullptr;
    bool halfWidthSpaces = false;
    std::u16string_view inkSample;
};

// Half-width spaces: each space of the caption laid out half as wide as FullWidthSample, a Chinese character,
// as SimSun lays its spaces out. spaceWidening is what to add to each space of a face whose own space is
// spaceAdvance wide and whose sample is sampleAdvance wide, in the units they are measured in. A page lays
// each space out 0.5em wide, a CJK face's characters being an em wide; Windows adds nothing, drawing with
// SimSun itself, whose spaces are the rule's own.
inline constexpr char16_t FullWidthSample = u'时';
constexpr double spaceWidening(double sampleAdvance, double spaceAdvance)
{
    return sampleAdvance / 2 - spaceAdvance;
}

// The printed lines as one text, what screen readers are told of them and what a page may show: the lines in
// order, a line feed (U+000A) between each two and none after the last; empty for none.
std::u16string printedDescription(const std::vector<std::u16string> &lines);

// The faces a toolkit asks for to draw font, best first: the font's own name and, for SimSun, the Song (Ming)
// faces that stand in for it elsewhere. A toolkit that takes one face (GDI, which has its own substitutes)
// asks for the first; one that takes a list (Qt, CSS) asks for them all and may end with its generic serif.
std::vector<std::u16string> fontFaces(const Font &font);

// How far down to move a caption placed by its ink, in the rows it is measured in (device pixels, where the
// toolkit has them): rows is the label's height, and inkTop and inkBottom the first and last rows that the
// strokes of its ink sample cover with the caption where the font's line height puts it (-1 for both: no
// ink). The strokes stay off the first and last rows where they fit, else they are centred, the odd row
// below.
int inkShift(int rows, int inkTop, int inkBottom);

// The keys whose meaning the runtime decides, and the modifiers held with them. A view hands over every press
// of Tab (Shift+Tab and a toolkit's Backtab are Tab with Shift) and of Enter (Return and the keypad's Enter)
// that no input method takes, with the modifiers the toolkit reports; Meta is the Windows or Command key.
enum class Key { Tab, Enter };
struct Modifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool meta = false;
};

class Runtime;
class NativeBinding;

// One native control (a widget, a window of the system's, a page's element) showing one control at a time.
// The Toolkit makes it, hidden; the Runtime hands it from control to control and destroys it. Handed on, it
// is told every property afresh: it must keep nothing of the control before (its text, undo history, colours,
// name, description, selection) that these calls do not set.
class NativeControl {
public:
    NativeControl(const NativeControl &) = delete;
    NativeControl &operator=(const NativeControl &) = delete;
    // A view destroys its native control here.
    virtual ~NativeControl();

    Control::Kind kind() const { return m_kind; }
    // The control shown; nullptr while the native waits to be handed on.
    Control *control() const;
    // Where the native's events go; nullptr while the runtime makes or destroys it, when they concern no one.
    Runtime *runtime() const;

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
    // What screen readers call it, and what they say of it after its name and value; empty: nothing of the
    // program's own (a control's caption still names it), and nothing left of the control shown before.
    virtual void setAccessibleName(std::u16string_view name) = 0;
    virtual void setAccessibleDescription(std::u16string_view description) = 0;
    // Tells screen readers text at once, politely (after what they are saying), without moving the focus: a
    // live region, the system's announcement event.
    virtual void announce(std::u16string_view text) = 0;
    // Lies directly under `above`, or over every other native when that is nullptr.
    virtual void stackUnder(NativeControl *above) = 0;
    // Takes the keyboard focus: with a text box's whole text selected, as Tab gives it, or with its selection
    // as it was, as when the window is activated again.
    virtual void focus(bool selectAll) = 0;
    // An input method composes text in it, or it shows its menu: it must stay with its control meanwhile.
    virtual bool busy() const = 0;

protected:
    explicit NativeControl(Control::Kind kind)
        : m_kind(kind)
    {
    }

private:
    friend class NativeBinding;
    NativeBinding *m_binding = nullptr; // the runtime's record of this native
    Control::Kind m_kind;
};

// What the window itself shows: its title, its client area's size and the font of the controls that have
// none of their own and of the printed lines.
struct WindowLook {
    std::u16string_view title;
    PixelSize clientSize;
    const Font &font;
};

// What a view writes for the window as a whole.
class Toolkit {
public:
    // Told once, before any native is made.
    virtual void setLook(const WindowLook &look) = 0;
    // A native control of the kind in the window, hidden, at bounds: where it goes first, so that a toolkit
    // that lays a control out as it makes it (Windows) does so once.
    virtual std::unique_ptr<NativeControl> make(Control::Kind kind, PixelRect bounds) = 0;
    virtual PixelSize clientSize() const = 0;
    // Dots per inch of the pixels: 96 where the toolkit scales for the screen itself (Qt's logical pixels, a
    // page's CSS pixels), the screen's own where it does not (Windows, which reports a change through
    // Runtime::rescaled()).
    virtual int dpi() const = 0;
    // Has Runtime::afterEvent() called once the event being handled is over; more posts before it may share
    // that call.
    virtual void post() = 0;
    // Has Runtime::timerElapsed(id) called every `milliseconds`, from a full interval on; 0 stops it.
    virtual void setTimer(int id, int milliseconds) = 0;
    // The lines printed on the window's surface changed: paints them, lasting, from the top-left corner down,
    // in the window's font and text colour, under the controls; and makes description, always
    // printedDescription(lines), the window's description for screen readers, which announce it.
    virtual void printed(const std::vector<std::u16string> &lines, std::u16string_view description) = 0;
    // Whether the toolkit moves the focus on a Tab by its own rule (a desktop's focus chain, a dialog
    // manager): then every Tab is dropped, the runtime's or not, and one it leaves (held with Control, say)
    // moves nothing. A browser keeps a Tab it is given back: Control+Tab switches its tabs.
    virtual bool movesFocusOnTab() const = 0;

protected:
    Toolkit() = default;
    Toolkit(const Toolkit &) = default;
    Toolkit &operator=(const Toolkit &) = default;
    ~Toolkit() = default;
};

class RuntimeState;

// The rules every view shares, over one form and one toolkit. A view makes it with its window (which tells
// the toolkit the window's look and makes the natives of the design-time controls) and tells it of its
// toolkit's events through the calls below.
class Runtime final {
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

    // The window is about to show: runs the form's load the first time (its messages come before the
    // window), then brings the natives up to date.
    void show();
    // A paint of the window is reaching the screen: the form's first paint, once that event is over.
    void painted();
    // The client area's size changed.
    void resized();
    // The DPI changed: every native is placed and styled again.
    void rescaled();
    // The window is active again, after another window was: the focus goes back where the user left it.
    void activated();
    void timerElapsed(int id);
    // What Toolkit::post() asked for.
    void afterEvent();

    // The user's doings in a native.
    void clicked(NativeControl &native);
    void typed(NativeControl &native, std::u16string_view text);
    // It has the keyboard focus, whatever gave it.
    void focused(NativeControl &native);
    // A composition in it ended or its menu closed, or it lost the focus: the user may have left it.
    void mayHaveLeft(NativeControl &native);
    // A key pressed in native (nullptr: in the window, or the toolkit moves the focus on by itself from a
    // control it locked or hid): true when the view drops the key, which the runtime took or which is a Tab
    // the toolkit would move the focus by (Toolkit::movesFocusOnTab).
    bool key(NativeControl *native, Key key, Modifiers modifiers);

    // The native that shows control, or nullptr.
    static NativeControl *nativeOf(const Control &control);

private:
    std::unique_ptr<RuntimeState> m_state;
};

} // namespace platform
