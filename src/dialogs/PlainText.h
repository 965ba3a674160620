#pragma once

#include <QString>

// Texts from outside (laser errors, hints with Windows line ends) as plain
// lines: "\r\n" and "\r" become line breaks.
QString PlainLines(QString text);
