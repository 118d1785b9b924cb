// The player package's translation unit that always exists, so the module
// links while its units are still being written.
