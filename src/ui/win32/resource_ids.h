#pragma once

#define IDI_ZELVOSCRIPT 1
