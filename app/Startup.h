// Start-up of the program: its windows, created once, in a fixed order.
#pragma once

// Creates every window of Velmora; the first becomes the main window.
void CreateApplicationForms();
