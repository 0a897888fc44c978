// A steady clock for timing stages of work. On Windows it is the performance
// counter (which Windows 2000 has; the C++ library's steady clock would import
// more); elsewhere the standard library's steady clock.
#pragma once

// Seconds since some fixed moment of this run; only differences mean anything.
double steadySeconds();
