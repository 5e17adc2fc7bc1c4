#pragma once

// Uniform random values. A real range a … b includes both ends.
class Random {
  public:
    virtual ~Random() = default;
    virtual double uniform(double a, double b) = 0;
    virtual int uniformInt(int a, int b) = 0; // a … b inclusive
    bool chance(double p) { return uniform(0.0, 1.0) < p; }

    static Random& system();
};
