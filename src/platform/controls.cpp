#include "controls.h"

#include "window.h"

#include <QApplication>
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
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Text on the program's own background colours is black, locked or not: on white, green and red alike it
// keeps well above WCAG AA's 4.5:1 even in the thin strokes of a 9 pt face (a locked box's grey fell below it
// on green). The theme's text colour would be unreadable on them in a dark theme.
constexpr Qt::GlobalColor TextOnOwnColour = Qt::black;

// Paints a control's own background colour, with the text colour that goes with it, in every colour group: a
// locked box keeps its colour.
void paintColours(QWidget *widget, QPalette::ColorRole background, QPalette::ColorRole text, Colour colour)
{
    QPalette palette = widget->palette();
    palette.setColor(background, toQColor(colour));
    palette.setColor(text, TextOnOwnColour);
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

// A label that lays its caption out as in the Song faces the window was drawn for, whatever CJK face the
// system has. A space is half as wide as a Chinese character: the nine spaces of "时间         分钟 n" open
// the gap that the minutes box stands over, and the narrower spaces of other faces (WenQuanYi, Noto) would
// slide 分钟 under it; the text itself stays as it is, for screen readers too. On request, the caption is
// also placed by the ink of its glyphs rather than by its font's line height: CJK faces differ in ascent by a
// third of an em, and in a bar barely taller than its font's em, top alignment puts the caption of one face
// half below the bar.
class CaptionLabel final : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

    void setPlacedByInk(bool placed)
    {
        m_placeByInk = placed;
        m_placed = false;
        m_shift = 0; // measured again at the next paint that has ink to place
        update();
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        const QString caption = text();
        qreal widening = 0;
        if (caption.contains(u' ')) {
            const QFontMetricsF metrics(font());
            widening = metrics.horizontalAdvance(QChar(u'时')) / 2 - metrics.horizontalAdvance(QChar(u' '));
        }
        const bool widen = qAbs(widening) >= 0.01;
        if (m_placeByInk && !m_placed && !caption.trimmed().isEmpty())
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
    // Keeps the strokes of the bar's captions (digits, colons, a minus sign, Chinese characters) off the
    // label's first and last rows: where the font's line height puts them when they fit, as in the Song faces
    // the layout was drawn for, else moved just enough, else centred. The ink is measured as drawn, in device
    // pixels: font metrics miss hinting by a pixel, and the bar is only a pixel or two taller than the
    // glyphs.
    void place()
    {
        m_placed = true;
        const qreal ratio = devicePixelRatioF();
        const int rows = int(height() * ratio);
        const auto [top, bottom] = inkRows(font(), ratio);
        int move = 0; // when no glyph has ink there is nothing to place
        if (top >= 0 && bottom - top <= rows - 3)
            move = std::clamp(0, 1 - top, rows - 2 - bottom);
        else if (top >= 0)
            move = (rows - 1 - top - bottom) / 2;
        m_shift = move / ratio;
    }

    // The first and last device-pixel rows that the strokes of the bar's captions cover, drawn in font with
    // the line's top at row 0.
    static std::pair<int, int> inkRows(const QFont &font, qreal ratio)
    {
        const QString sample = QStringLiteral("0123456789:-请检查结果");
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

    bool m_placeByInk = false;
    bool m_placed = false;
    qreal m_shift = 0; // pixels down from where the font's line height puts the caption
};

// Each kind of control's widget, as the kind it is: the control made it (see newWidget).
QLineEdit *lineEdit(QWidget *widget)
{
    return static_cast<QLineEdit *>(widget);
}

CaptionLabel *captionLabel(QWidget *widget)
{
    return static_cast<CaptionLabel *>(widget);
}

QPushButton *pushButton(QWidget *widget)
{
    return static_cast<QPushButton *>(widget);
}

QListWidget *listWidget(QWidget *widget)
{
    return static_cast<QListWidget *>(widget);
}

Qt::Alignment labelAlignment(int alignment)
{
    return (alignment == Label::RightJustify ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
}

} // namespace

// TextBox

TextBox::TextBox(Window &window)
    : Control(window)
{
    materialize();
}

TextBox::TextBox(const TextBox &prototype, HiddenCopy tag)
    : Control(prototype, tag)
    , m_text(prototype.m_text)
    , m_backColor(prototype.m_backColor)
{
}

std::unique_ptr<TextBox> TextBox::hiddenCopy() const
{
    return std::unique_ptr<TextBox>(new TextBox(*this, HiddenCopy{}));
}

void TextBox::setText(const QString &text)
{
    m_text = text;
    if (auto *edit = lineEdit(widget()))
        edit->setText(text);
}

void TextBox::setBackColor(Colour colour)
{
    m_backColor = colour;
    if (widget())
        window().refreshLater(*this);
}

void TextBox::refreshWidget()
{
    if (widget() && widget()->palette().color(QPalette::Base) != toQColor(m_backColor))
        paintColours(widget(), QPalette::Base, QPalette::Text, m_backColor);
}

void TextBox::selectAll()
{
    if (auto *edit = lineEdit(widget())) {
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
}

QWidget *TextBox::newWidget(QWidget *parent) const
{
    auto *edit = new QLineEdit(parent);
    if (QStyle *style = textBoxStyle())
        edit->setStyle(style);
    return edit;
}

QMetaObject::Connection TextBox::connectWidget(QWidget *widget)
{
    return QObject::connect(
        lineEdit(widget), &QLineEdit::textChanged, widget, [this](const QString &text) { m_text = text; });
}

void TextBox::showProperties(QWidget *widget)
{
    // Also clears the undo history that a widget handed on from another box would carry.
    lineEdit(widget)->setText(m_text);
    paintColours(widget, QPalette::Base, QPalette::Text, m_backColor);
}

// Label

Label::Label(Window &window)
    : Control(window)
{
    materialize();
}

Label::Label(const Label &prototype, HiddenCopy tag)
    : Control(prototype, tag)
    , m_caption(prototype.m_caption)
    , m_alignment(prototype.m_alignment)
    , m_backColor(prototype.m_backColor)
    , m_font(prototype.m_font)
{
}

std::unique_ptr<Label> Label::hiddenCopy() const
{
    return std::unique_ptr<Label>(new Label(*this, HiddenCopy{}));
}

void Label::setCaption(const QString &caption)
{
    m_caption = caption;
    if (auto *label = captionLabel(widget()))
        label->setText(caption);
}

void Label::setAlignment(int alignment)
{
    m_alignment = alignment;
    if (auto *label = captionLabel(widget()))
        label->setAlignment(labelAlignment(alignment));
}

void Label::setBackColor(Colour colour)
{
    m_backColor = colour;
    if (widget()) {
        widget()->setAutoFillBackground(true);
        paintColours(widget(), QPalette::Window, QPalette::WindowText, colour);
    }
}

void Label::setFont(const QFont &font)
{
    m_font = font;
    if (auto *label = captionLabel(widget())) {
        label->setFont(font);
        label->setPlacedByInk(true);
    }
}

QWidget *Label::newWidget(QWidget *parent) const
{
    auto *label = new CaptionLabel(parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void Label::showProperties(QWidget *widget)
{
    auto *label = captionLabel(widget);
    label->setText(m_caption);
    label->setAlignment(labelAlignment(m_alignment));
    label->setAutoFillBackground(m_backColor.has_value());
    if (m_backColor)
        paintColours(label, QPalette::Window, QPalette::WindowText, *m_backColor);
    else if (label->testAttribute(Qt::WA_SetPalette))
        label->setPalette(QPalette()); // back to the window's colours
    if (m_font)
        label->setFont(*m_font);
    else if (label->testAttribute(Qt::WA_SetFont))
        label->setFont(QFont()); // back to the window's font
    // A caption in a font of its own (the time bar's 18 pt in a bar of 25 pixels) is placed by its ink.
    label->setPlacedByInk(m_font.has_value());
}

// CommandButton

CommandButton::CommandButton(Window &window)
    : Control(window)
{
    materialize();
}

void CommandButton::setCaption(const QString &caption)
{
    m_caption = caption;
    if (auto *button = pushButton(widget()))
        button->setText(caption);
}

QWidget *CommandButton::newWidget(QWidget *parent) const
{
    auto *button = new QPushButton(parent);
    button->setAutoDefault(false);
    return button;
}

QMetaObject::Connection CommandButton::connectWidget(QWidget *widget)
{
    return QObject::connect(pushButton(widget), &QPushButton::clicked, widget, [this] {
        if (m_onClick)
            window().deliver(m_onClick);
    });
}

void CommandButton::showProperties(QWidget *widget)
{
    pushButton(widget)->setText(m_caption);
}

// ListBox

ListBox::ListBox(Window &window)
    : Control(window)
{
    materialize();
}

void ListBox::clear()
{
    m_items.clear();
    if (auto *list = listWidget(widget()))
        list->clear();
}

void ListBox::addItem(const QString &item)
{
    m_items.append(item);
    if (auto *list = listWidget(widget()))
        list->addItem(item);
}

QString ListBox::item(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index) : QString();
}

QWidget *ListBox::newWidget(QWidget *parent) const
{
    return new QListWidget(parent);
}

void ListBox::showProperties(QWidget *widget)
{
    auto *list = listWidget(widget);
    list->clear();
    list->addItems(m_items);
}

// Timer

Timer::Timer(Window &window)
    : m_timer(new QTimer(&window))
{
    m_timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(m_timer, &QTimer::timeout, m_timer, [this, &window] {
        if (m_onTimer)
            window.deliver(m_onTimer);
    });
}

Timer::~Timer()
{
    delete m_timer;
}

int Timer::interval() const
{
    return m_timer->interval();
}

void Timer::setInterval(int milliseconds)
{
    m_timer->setInterval(milliseconds);
}

bool Timer::isEnabled() const
{
    return m_timer->isActive();
}

void Timer::setEnabled(bool enabled)
{
    if (!enabled)
        m_timer->stop();
    else if (!m_timer->isActive())
        m_timer->start();
}

} // namespace platform

#include "controls.moc"
