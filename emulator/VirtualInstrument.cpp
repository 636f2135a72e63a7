// placeholder until the virtual instrument lands
