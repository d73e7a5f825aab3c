#include "QZDialogs.h"

TBuilderDialogs &Dialogs()
{
    static TBuilderDialogs dialogs;
    return dialogs;
}
