#include "QZDialogs.h"

namespace CorvBuilder {

TBuilderDialogs &Dialogs()
{
    static TBuilderDialogs dialogs;
    return dialogs;
}

} // namespace CorvBuilder
