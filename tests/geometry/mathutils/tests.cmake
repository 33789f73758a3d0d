# MathUtils computations.
