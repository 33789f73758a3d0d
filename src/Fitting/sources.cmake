# Point lists, fit parameters and fit results over the fitting library.
target_sources(Ostrel.Vision.Geometry PRIVATE)
