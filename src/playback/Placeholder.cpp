// Placeholder until the sequencer lands.
