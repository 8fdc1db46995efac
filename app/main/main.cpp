// Program entry: replaced by the application start-up once the form layer exists.
int main() { return 0; }
