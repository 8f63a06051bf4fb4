// MORVANE_EXPORT marks the classes and functions that the shared libraries offer to hosts.
// Everything else is built with hidden visibility, so a host can only reach what is marked,
// and exception types thrown across the library boundary keep one type identity.
#pragma once

#define MORVANE_EXPORT __attribute__((visibility("default")))
