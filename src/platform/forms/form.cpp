#include "form.h"

#include <utility>

namespace platform {

Form::~Form() = default;

void Form::setClientSize(float widthTwips, float heightTwips)
{
    m_clientWidth = widthTwips;
    m_clientHeight = heightTwips;
}

void Form::print(std::u16string_view line)
{
    m_printed.emplace_back(line);
    if (m_view)
        m_view->printed();
}

void Form::deliver(const std::function<void()> &handler)
{
    ++m_delivering;
    handler();
    --m_delivering;
    if (m_view)
        m_view->delivered();
}

void Form::showing()
{
    if (!std::exchange(m_loaded, true))
        deliver([this] { load(); });
}

void Form::painted()
{
    if (!std::exchange(m_painted, true))
        firstPainted();
}

} // namespace platform
