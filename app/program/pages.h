#pragma once

// Registers the pages of the tool bar with the main window.
void registerPages();
