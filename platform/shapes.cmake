# Sources of the shapes area.
