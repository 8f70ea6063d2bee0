#pragma once

#include "platform/runtime/view.h"

namespace views::web {

class Window;

// An element of the page showing one control at a time: a div for a label, an input, a button, a select for
// a list. It goes with this.
class Native final : public platform::NativeControl {
public:
    Native(platform::Control::Kind kind, Window &window);
    Native(const Native &) = delete;
    Native &operator=(const Native &) = delete;
    ~Native() override;

    // The page's id of the element.
    int element() const { return m_element; }

    void setBounds(platform::PixelRect bounds) override;
    void setVisible(bool visible) override;
    void setEnabled(bool enabled) override;
    void setText(std::u16string_view text) override;
    void setColours(const std::optional<platform::OwnColours> &colours) override;
    void setAlignment(platform::Label::Alignment alignment) override;
    void setStyle(const platform::TextStyle &style) override;
    void setItems(const std::vector<std::u16string> &items) override;
    void setAccessibleName(std::u16string_view name) override;
    void setAccessibleDescription(std::u16string_view description) override;
    void announce(std::u16string_view text) override;
    void stackUnder(platform::NativeControl *above) override;
    void focus(bool selectAll) override;
    bool busy() const override;

private:
    int m_element;
};

// The page's id of the element showing control, or 0 while it has none.
int elementOf(const platform::Control &control);

} // namespace views::web
