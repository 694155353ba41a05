// Anchors the plug-in's static library, so it exists while a build holds only the shell.
