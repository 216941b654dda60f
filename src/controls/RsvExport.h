#pragma once
// Symbol visibility of the control library. The library is built with hidden
// visibility; everything its users may call is marked RSV_EXPORT.
#define RSV_EXPORT __attribute__((visibility("default")))
