// QUINTEL_EXPORT marks what the shared library QuintelControl offers to hosts; everything
// else is built with hidden visibility.
#pragma once

#define QUINTEL_EXPORT __attribute__((visibility("default")))
