# Tests of the spaces area.
