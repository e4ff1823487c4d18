#pragma once

// The C library's numeric locale of the whole process. QCoreApplication sets every category from
// the environment; under a decimal-comma locale printf-style formatting in the libraries we call
// (the workbook writer, the readers) would then write "940,006". Screens format through QLocale,
// which does not depend on it.
namespace ProcessLocale {
// Call right after the application object is created (it resets the locale).
void useCNumbers();
} // namespace ProcessLocale
