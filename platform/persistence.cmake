# Sources of the persistence area.
