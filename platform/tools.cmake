# Sources of the tools area.
