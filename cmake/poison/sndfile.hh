#error "the logic library must not include GUI, audio, video or device headers; put this behind an interface in src/platform/"
