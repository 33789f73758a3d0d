# Fit parameters and results.
