# Tests of the tools area.
