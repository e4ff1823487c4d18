#include "store/processlocale.h"

#include <clocale>

void ProcessLocale::useCNumbers()
{
    std::setlocale(LC_NUMERIC, "C");
}
