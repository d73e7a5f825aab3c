// Start-up of the builder: the main window (the design surface), the tools
// window and every dialog, created once in a fixed order and re-used. main()
// only adds the event loop.
#pragma once

#include <QStringList>

#include <memory>

namespace CorvBuilder {

class TGlavnoOkno;
class TOrodja;

class TBuilder
{
public:
    // The program's arguments, the program first; a file named as the only
    // argument is opened at the first activation of the surface.
    explicit TBuilder(QStringList arguments);
    ~TBuilder();
    TBuilder(const TBuilder &) = delete;
    TBuilder &operator=(const TBuilder &) = delete;

    // Creates the windows and dialogs; Show() then puts the surface on the
    // screen, maximised, with the tools window beside it.
    void Create();
    void Show();

    TGlavnoOkno &MainWindow() const { return *m_mainWindow; }
    TOrodja &Tools() const { return *m_tools; }

private:
    void WireDialogs();

    QStringList m_arguments;
    std::unique_ptr<TGlavnoOkno> m_mainWindow;
    TOrodja *m_tools = nullptr; // a child of the main window
};

} // namespace CorvBuilder
