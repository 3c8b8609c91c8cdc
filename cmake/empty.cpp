// Keeps a library target alive while its folder has no sources yet.
