// What the tests of the whole builder share: mouse events sent to the
// surface and its objects, and a builder started with the interaction and the
// help scripted, on the surface of a 1024 x 768 screen.
#pragma once

#include "QZBuilder.h"
#include "QZGlavnoOkno.h"
#include "QZOrodja.h"
#include "QZRecordedHelp.h"
#include "QZScriptedInteraction.h"

#include <QEvent>
#include <QPoint>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

using namespace CorvBuilder;

class QWidget;
class TQZControl;
class TQZNaloga;

void SendMouse(QWidget *widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// A left drag on `control` from `from` (its own coordinates) to `to` (the
// surface's coordinates).
void Drag(QWidget *control, QWidget *surface, QPoint from, QPoint to,
          Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// A right click; the dialog it asks for opens once the click is delivered.
void RightPress(QWidget *control, QPoint at);
QStringList PageNames(const TQZNaloga &test);

// The builder of one test function: SetUp from init(), TearDown from
// cleanup(), and Start where the test begins the program.
class TBuilderFixture
{
protected:
    void SetUp();
    void TearDown();

    std::unique_ptr<TQZScriptedInteraction> m_script;
    std::unique_ptr<TQZRecordedHelp> m_help;
    std::unique_ptr<TBuilder> m_builder;
    QTemporaryDir m_dir;

    TGlavnoOkno &Surface() { return m_builder->MainWindow(); }
    TBuilderDocument &Doc() { return Surface().Document(); }
    TOrodja &Tools() { return m_builder->Tools(); }

    void Start(const QStringList &arguments = {QStringLiteral("corvbld")});
    // A new test with one object of the type inserted by its command.
    TQZControl *NewTestWith(void (TOrodja::*insert)());
    // A test of two pages saved by a builder that has ended.
    QString SavedTestFile(const QString &name, const QString &password = {});
};
