# Tests of the persistence area.
