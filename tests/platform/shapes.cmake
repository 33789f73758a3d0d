# Tests of the shapes area.
