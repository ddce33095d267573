// Small conversions that every window needs: texts between the logic's UTF-8 strings and Qt's,
// and naming a control after its design name as it is made.
#pragma once

#include <QString>

#include <string>

namespace vm {

inline QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

inline std::string S(const QString& text)
{
    return text.toStdString();
}

// The control with its object name set (the name tests, screen readers and debuggers see).
template <class T> T* Named(T* object, const char* name)
{
    object->setObjectName(name);
    return object;
}

} // namespace vm
