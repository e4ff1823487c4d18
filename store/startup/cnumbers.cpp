// Linked into every executable as an object of its own (a static library would drop it): the
// numeric locale is put back to "C" as soon as the application object has set it from the
// environment.
#include "store/processlocale.h"

#include <QCoreApplication>

namespace {
void numbersInC()
{
    ProcessLocale::useCNumbers();
}
} // namespace

Q_COREAPP_STARTUP_FUNCTION(numbersInC)
