#pragma once

#include <QString>

// Where a copy of a file goes in a folder that may already hold copies from an earlier run. The names
// tried are those of uniqueFileName: path, then "base(1).suffix", "base(2).suffix", ... up to the first free
// one. When one of the taken names already holds exactly the bytes of source, the copy is there already
// and that name is the answer; otherwise the first free name is. So running a copy again adds nothing,
// while a different file that wants a taken name still gets a new one.
struct CopyTarget
{
    QString path;
    bool alreadyThere = false;

    static CopyTarget find(const QString& source, const QString& path);
};

// Whether two files hold the same bytes (compared piece by piece after their sizes).
bool sameFileContent(const QString& a, const QString& b);
