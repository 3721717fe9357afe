// A plugin that loads but exports none of the entry points.
int TestDecoderExportsNothing() { return 0; }
