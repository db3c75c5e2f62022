// The entry point of the layers' link checks: never run, only linked.
int main() {
  return 0;
}
