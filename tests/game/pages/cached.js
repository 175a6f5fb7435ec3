// served with a long lifetime
window.cachedScript = true;
