// Placeholder translation unit for a layer or library with no sources yet.
