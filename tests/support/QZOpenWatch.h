// Records every open and read of the files in one folder, and of the folder
// itself (a listing), by any process, from its construction on: tests use it
// to show that nothing outside a test's folder is touched.
#pragma once

#include <QString>
#include <QStringList>

class TQZOpenWatch
{
public:
    explicit TQZOpenWatch(const QString &folder);
    ~TQZOpenWatch();
    TQZOpenWatch(const TQZOpenWatch &) = delete;
    TQZOpenWatch &operator=(const TQZOpenWatch &) = delete;

    bool IsWatching() const { return m_watch >= 0; }
    // The names opened or read since the last call; "." for the folder.
    QStringList Touched();

private:
    int m_fd = -1;
    int m_watch = -1;
};
