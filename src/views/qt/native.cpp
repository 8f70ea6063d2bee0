#include "native.h"

#include "text.h"
#include "window.h"

#include <QAccessible>
#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleFactory>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace views::qt {

using platform::Colour;
using platform::Control;
using platform::Label;

namespace {

// Paints a control's own colours in every colour group: a locked box keeps them.
void paintColours(
    QWidget *widget, QPalette::ColorRole background, QPalette::ColorRole text, platform::OwnColours colours)
{
    QPalette palette = widget->palette();
    palette.setColor(background, toQColor(colours.background));
    palette.setColor(text, toQColor(colours.text));
    widget->setPalette(palette);
}

// Whether style paints a line edit's background in the palette's Base colour, enabled and disabled, found by
// painting one. (adwaita-qt's styles honour it only while the line edit is enabled: locked answers lose their
// green.)
bool paintsBaseColour(QStyle *style)
{
    const QColor probe(0x12, 0x34, 0x56);
    QLineEdit edit;
    edit.setStyle(style);
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Base, probe);
    edit.setPalette(palette);
    edit.resize(40, 20);
    for (const bool enabled : {true, false}) {
        edit.setEnabled(enabled);
        const QImage image = edit.grab().toImage();
        if (image.pixelColor(image.width() / 2, image.height() / 2) != probe)
            return false;
    }
    return true;
}

// The style for text boxes: the application's, unless it paints line edits in colours of its own
// (adwaita-qt's styles do), which would hide the white and green of the answer sheet; then Fusion, which
// honours them.
QStyle *textBoxStyle()
{
    static QString checkedStyle;
    static bool honoursColours = true;
    static QPointer<QStyle> fusion;
    QStyle *style = QApplication::style();
    if (style->name() != checkedStyle) {
        checkedStyle = style->name();
        // Qt's own styles are known to honour them; the probe costs a line edit painted twice at start-up.
        static const QStringList QtStyles{
            QStringLiteral("fusion"), QStringLiteral("windows"), QStringLiteral("windowsvista")};
        honoursColours = QtStyles.contains(checkedStyle, Qt::CaseInsensitive) || paintsBaseColour(style);
    }
    if (honoursColours)
        return nullptr;
    if (!fusion) {
        fusion = QStyleFactory::create(QStringLiteral("Fusion"));
        fusion->setParent(qApp);
    }
    return fusion;
}

// A label that lays its caption out as the core's text style says, whatever CJK face the system has: spaces
// half as wide as a Chinese character (the text itself stays as it is, for screen readers too), and the
// caption placed by the ink of a sample of its characters rather than by its font's line height (CJK faces
// differ in ascent by a third of an em).
class CaptionLabel final : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

    void setLayout(bool halfWidthSpaces, std::u16string_view inkSample)
    {
        const QString sample = toQString(inkSample);
        if (halfWidthSpaces == m_halfWidthSpaces && sample == m_inkSample)
            return;
        m_halfWidthSpaces = halfWidthSpaces;
        m_inkSample = sample;
        m_placed = false;
        m_shift = 0; // measured again at the next paint that has ink to place
        update();
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        const QString caption = text();
        qreal widening = 0;
        if (m_halfWidthSpaces && caption.contains(u' ')) {
            const QFontMetricsF metrics(font());
            widening = platform::spaceWidening(metrics.horizontalAdvance(QChar(platform::FullWidthSample)),
                metrics.horizontalAdvance(QChar(u' ')));
        }
        const bool widen = qAbs(widening) >= 0.01;
        if (!m_inkSample.isEmpty() && !m_placed && !caption.trimmed().isEmpty())
            place(); // measured when there is ink to place: the bar starts out with a blank caption
        if (!widen && qFuzzyIsNull(m_shift)) {
            QLabel::paintEvent(event);
            return;
        }
        // Word spacing would not do: Qt applies it only to spaces that follow Latin text.
        QList<QTextLayout::FormatRange> spaces;
        if (widen) {
            QTextCharFormat wide;
            wide.setFontLetterSpacingType(QFont::AbsoluteSpacing);
            wide.setFontLetterSpacing(widening);
            for (int i = 0; i < caption.size(); ++i)
                if (caption.at(i) == u' ')
                    spaces.append({i, 1, wide});
        }
        QTextLayout layout(caption, font());
        layout.setFormats(spaces);
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();

        const QRect area = contentsRect();
        const qreal x = alignment() & Qt::AlignRight ? area.left() + area.width() - line.naturalTextWidth()
                                                     : area.left();
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        layout.draw(&painter, QPointF(x, area.top() + m_shift));
    }

    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        if (event->size().height() != event->oldSize().height())
            m_placed = false; // not when only the width changes: the time bar does at every tick
    }

    void changeEvent(QEvent *event) override
    {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange)
            m_placed = false;
    }

private:
    // Places the strokes of the sample as the program places a caption by its ink. The ink is measured as
    // drawn, in device pixels: font metrics miss hinting by a pixel, and the bar is only a pixel or two
    // taller than the glyphs.
    void place()
    {
        m_placed = true;
        const qreal ratio = devicePixelRatioF();
        const auto [top, bottom] = inkRows(m_inkSample, font(), ratio);
        m_shift = platform::inkShift(int(height() * ratio), top, bottom) / ratio;
    }

    // The first and last device-pixel rows that the strokes of sample cover, drawn in font with the line's
    // top at row 0.
    static std::pair<int, int> inkRows(const QString &sample, const QFont &font, qreal ratio)
    {
        const QFontMetricsF metrics(font);
        QImage image(int(std::ceil(metrics.horizontalAdvance(sample) * ratio)) + 2,
            int(std::ceil(metrics.height() * ratio)) + 2, QImage::Format_Alpha8);
        image.fill(0);
        image.setDevicePixelRatio(ratio);
        QPainter painter(&image);
        painter.setFont(font);
        painter.drawText(QPointF(0, metrics.ascent()), sample);
        painter.end();
        int top = -1;
        int bottom = -1;
        for (int y = 0; y < image.height(); ++y) {
            const uchar *row = image.constScanLine(y);
            if (std::any_of(row, row + image.width(), [](uchar alpha) { return alpha >= 128; })) {
                top = top < 0 ? y : top;
                bottom = y;
            }
        }
        return {top, bottom};
    }

    bool m_halfWidthSpaces = false;
    QString m_inkSample;
    bool m_placed = false;
    qreal m_shift = 0; // pixels down from where the font's line height puts the caption
};

// Each kind of control's widget, as the kind it is: the native made it.
template <class Widget> Widget *as(QWidget *widget)
{
    return static_cast<Widget *>(widget);
}

Qt::Alignment labelAlignment(Label::Alignment alignment)
{
    return (alignment == Label::RightJustify ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
}

QWidget *newWidget(Control::Kind kind, QWidget *parent)
{
    switch (kind) {
    case Control::Kind::TextBox: {
        auto *edit = new QLineEdit(parent);
        if (QStyle *style = textBoxStyle())
            edit->setStyle(style);
        return edit;
    }
    case Control::Kind::Label: {
        auto *label = new CaptionLabel(parent);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case Control::Kind::CommandButton: {
        auto *button = new QPushButton(parent);
        button->setAutoDefault(false);
        return button;
    }
    case Control::Kind::ListBox:
        break;
    }
    return new QListWidget(parent);
}

} // namespace

QColor toQColor(Colour colour)
{
    const platform::Rgb rgb = platform::rgbOf(colour);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QFont toQFont(const platform::Font &font)
{
    QFont qfont;
    QStringList families;
    for (const auto &face : platform::fontFaces(font))
        families.append(toQString(face));
    qfont.setFamilies(families);
    qfont.setPointSizeF(font.points);
    qfont.setWeight(QFont::Weight(font.weight));
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    qfont.setStrikeOut(font.strikeOut);
    return qfont;
}

bool runtimeTakes(platform::Runtime &runtime, Native *native, const QKeyEvent &event)
{
    const Qt::KeyboardModifiers held = event.modifiers();
    platform::Modifiers modifiers{held.testFlag(Qt::ShiftModifier) || event.key() == Qt::Key_Backtab,
        held.testFlag(Qt::ControlModifier), held.testFlag(Qt::AltModifier), held.testFlag(Qt::MetaModifier)};
    const int key = event.key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return runtime.key(native, platform::Key::Enter, modifiers);
    return (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        && runtime.key(native, platform::Key::Tab, modifiers);
}

QWidget *widgetOf(const Control &control)
{
    const auto *native = static_cast<const Native *>(platform::Runtime::nativeOf(control));
    return native ? native->widget() : nullptr;
}

Native::Native(Control::Kind kind, Window &window)
    : NativeControl(kind)
    , m_window(window)
    , m_widget(newWidget(kind, &window))
{
    m_widget->hide();
    m_widget->installEventFilter(this);
    // The connections last as long as the widget; they reach whichever control it shows at the time.
    if (kind == Control::Kind::TextBox) {
        connect(as<QLineEdit>(m_widget), &QLineEdit::textChanged, this, [this](const QString &text) {
            if (platform::Runtime *events = runtime())
                events->typed(*this, toU16String(text));
        });
    } else if (kind == Control::Kind::CommandButton) {
        connect(as<QPushButton>(m_widget), &QPushButton::clicked, this, [this] {
            if (platform::Runtime *events = runtime())
                events->clicked(*this);
        });
    }
}

Native::~Native()
{
    delete m_widget;
}

void Native::setBounds(platform::PixelRect bounds)
{
    m_widget->setGeometry(bounds.left, bounds.top, bounds.width, bounds.height);
}

void Native::setVisible(bool visible)
{
    m_widget->setVisible(visible);
}

void Native::setEnabled(bool enabled)
{
    m_widget->setEnabled(enabled);
}

void Native::setText(std::u16string_view text)
{
    switch (kind()) {
    case Control::Kind::TextBox:
        // Also clears the undo history of the control shown before.
        as<QLineEdit>(m_widget)->setText(toQString(text));
        return;
    case Control::Kind::Label:
        as<CaptionLabel>(m_widget)->setText(toQString(text));
        return;
    case Control::Kind::CommandButton:
        as<QPushButton>(m_widget)->setText(toQString(text));
        return;
    case Control::Kind::ListBox:
        return;
    }
}

void Native::setColours(const std::optional<platform::OwnColours> &colours)
{
    const bool box = kind() == Control::Kind::TextBox;
    const QPalette::ColorRole background = box ? QPalette::Base : QPalette::Window;
    if (!box)
        m_widget->setAutoFillBackground(colours.has_value());
    if (!colours) {
        if (m_widget->testAttribute(Qt::WA_SetPalette))
            m_widget->setPalette(QPalette()); // back to the window's colours
    } else if (!m_widget->testAttribute(Qt::WA_SetPalette)
        || m_widget->palette().color(QPalette::Disabled, background) != toQColor(colours->background)) {
        paintColours(m_widget, background, box ? QPalette::Text : QPalette::WindowText, *colours);
    }
}

void Native::setAlignment(Label::Alignment alignment)
{
    as<CaptionLabel>(m_widget)->setAlignment(labelAlignment(alignment));
}

void Native::setStyle(const platform::TextStyle &style)
{
    if (kind() != Control::Kind::Label)
        return; // in the window's font
    CaptionLabel *label = as<CaptionLabel>(m_widget);
    if (style.font)
        label->setFont(toQFont(*style.font));
    else if (label->testAttribute(Qt::WA_SetFont))
        label->setFont(QFont()); // back to the window's font
    label->setLayout(style.halfWidthSpaces, style.inkSample);
}

void Native::setItems(const std::vector<std::u16string> &items)
{
    QListWidget *list = as<QListWidget>(m_widget);
    list->clear();
    for (const auto &item : items)
        list->addItem(toQString(item));
}

void Native::setAccessibleName(std::u16string_view name)
{
    m_widget->setAccessibleName(toQString(name));
}

void Native::setAccessibleDescription(std::u16string_view description)
{
    m_widget->setAccessibleDescription(toQString(description));
}

void Native::announce(std::u16string_view text)
{
    m_window.announce(toQString(text));
}

void Native::stackUnder(platform::NativeControl *above)
{
    if (above)
        m_widget->stackUnder(static_cast<Native *>(above)->m_widget);
    else
        m_widget->raise();
}

void Native::focus(bool selectAll)
{
    m_widget->setFocus(selectAll ? Qt::TabFocusReason : Qt::ActiveWindowFocusReason);
    if (selectAll && kind() == Control::Kind::TextBox)
        as<QLineEdit>(m_widget)->selectAll();
}

bool Native::busy() const
{
    if (m_composing)
        return true;
    // A context menu is a popup of its own, parented to the widget it acts on.
    for (const QWidget *popup = QApplication::activePopupWidget(); popup; popup = popup->parentWidget())
        if (popup == m_widget)
            return true;
    return false;
}

bool Native::eventFilter(QObject *, QEvent *event)
{
    platform::Runtime *events = runtime();
    if (!events)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn:
        events->focused(*this);
        break;
    case QEvent::FocusOut:
        events->mayHaveLeft(*this);
        break;
    case QEvent::InputMethod:
        m_composing = !static_cast<QInputMethodEvent *>(event)->preeditString().isEmpty();
        if (!m_composing)
            events->mayHaveLeft(*this);
        break;
    case QEvent::KeyPress:
        return runtimeTakes(*events, this, *static_cast<QKeyEvent *>(event));
    default:
        break;
    }
    return false;
}

} // namespace views::qt

#include "native.moc"
