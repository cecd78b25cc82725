#pragma once

#include <QString>

// "&" -> "&amp;", "<" -> "&lt;", ">" -> "&gt;", line feed -> "<br/>". Quotes stay: use htmlAttributeEscape
// for attribute values.
QString htmlEscape(const QString& text);

// htmlEscape without the line breaks, plus both quote characters: safe inside a quoted attribute value.
QString htmlAttributeEscape(const QString& text);

// MD5 of the UTF-8 bytes of text as 32 lower-case hex digits.
QString md5Hex(const QString& text);
