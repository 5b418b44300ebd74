// The toolbar script of the list pages looks elements up with document.all('id') and calls the
// result with an index, as the browsers of its time allowed. This gives current browsers the
// same: a callable list of the elements with that id, with their number as its length.
(function () {
  function elementsWithId(id) {
    var list = document.querySelectorAll('[id="' + id + '"]');
    var item = function (i) { return list[i]; };
    Object.defineProperty(item, "length", { value: list.length });
    return item;
  }
  try {
    Object.defineProperty(document, "all", { value: elementsWithId, configurable: true });
  } catch (e) {
    // a browser that does not let document.all be replaced keeps its own
  }
})();
