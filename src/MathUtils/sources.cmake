# The geometry computations of MathUtils (beyond the point-pair functions).
target_sources(Ostrel.Vision.Geometry PRIVATE)
