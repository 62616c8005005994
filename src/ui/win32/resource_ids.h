#pragma once

#define IDI_ZELVOSCRIPT 1
// The toolbar's images, one icon per button in the toolbar's order.
#define IDI_TOOL_FIRST 10
