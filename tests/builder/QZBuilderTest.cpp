#include "QZBuilderTest.h"

#include "QZControls.h"

#include <QApplication>
#include <QMouseEvent>

void SendMouse(QWidget *widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, buttons,
                      modifiers);
    QApplication::sendEvent(widget, &event);
}

void Drag(QWidget *control, QWidget *surface, QPoint from, QPoint to,
          Qt::KeyboardModifiers modifiers)
{
    SendMouse(control, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, modifiers);
    const QPoint local = control->mapFromGlobal(surface->mapToGlobal(to));
    SendMouse(control, QEvent::MouseMove, local, Qt::NoButton, Qt::LeftButton, modifiers);
    SendMouse(control, QEvent::MouseButtonRelease, local, Qt::LeftButton, Qt::NoButton, modifiers);
}

void RightPress(QWidget *control, QPoint at)
{
    SendMouse(control, QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
    SendMouse(control, QEvent::MouseButtonRelease, at, Qt::RightButton, Qt::NoButton);
    QCoreApplication::processEvents();
}

QStringList PageNames(const TQZNaloga &test)
{
    QStringList names;
    for (int i = 0; i < test.PageCount(); ++i)
        names << test.Page(i)->PageName();
    return names;
}

void TBuilderFixture::SetUp()
{
    m_script = std::make_unique<TQZScriptedInteraction>();
    m_help = std::make_unique<TQZRecordedHelp>();
}

void TBuilderFixture::TearDown()
{
    m_builder.reset();
    m_help.reset();
    m_script.reset();
}

void TBuilderFixture::Start(const QStringList &arguments)
{
    m_builder = std::make_unique<TBuilder>(arguments);
    m_builder->Create();
    // The surface of a 1024 x 768 screen, whatever the test platform's.
    Surface().FirstActivation(QSize(1024, 768));
    Surface().setGeometry(0, 0, 1024, 768);
}

TQZControl *TBuilderFixture::NewTestWith(void (TOrodja::*insert)())
{
    Tools().New();
    (Tools().*insert)();
    return Doc().CurrentPage()->Objects().back().get();
}

QString TBuilderFixture::SavedTestFile(const QString &name, const QString &password)
{
    Start();
    Tools().New();
    Tools().AddPage();
    if (!password.isEmpty())
        Doc().Test()->SetEditPassword(password);
    const QString path = m_dir.filePath(name);
    Doc().Test()->SaveTestFile(path);
    m_builder.reset();
    return path;
}
