// The product's identity in one place. Plain macros, because the resource scripts read
// this header too (windres runs the C preprocessor, not the C++ compiler).
#pragma once

#define FETCHORA_NAME "Fetchora"
#define FETCHORA_FULL_NAME "Quorvane Media Fetcher"
#define FETCHORA_PUBLISHER "Halvex Software"

// Keep the numbers and the text in step.
#define FETCHORA_VERSION_NUMBERS 1, 1, 0, 0
#define FETCHORA_VERSION_TEXT "1.1.0"

// Resource number of the application icon, the same in the product and its uninstaller.
#define FETCHORA_APP_ICON 1
