int beside() {
    return 2;
}
