// Compiled into libraries whose folder holds no source yet.
