// Sine and cosine, correctly rounded and the same on every platform.
#pragma once

double Sine(double x);
double Cosine(double x);
