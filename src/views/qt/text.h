#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace views::qt {

// The program's text is UTF-16, as Qt's is: these copy it without converting.
inline QString toQString(std::u16string_view text)
{
    return QStringView(text.data(), qsizetype(text.size())).toString();
}

inline std::u16string toU16String(QStringView text)
{
    return std::u16string(text.utf16(), size_t(text.size()));
}

} // namespace views::qt
